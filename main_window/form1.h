#pragma once
// The main window: the job's input fields, the image with its marks, the
// status list, and all the job's state. Its handlers are split by concern over
// several files of this folder; the computations they call live in modules
// without widgets.

#include "astrometry/star_table.h"
#include "dialogs/optical_config_file.h"
#include "main_window/catalogue_query.h"
#include "main_window/image_widgets.h"
#include "main_window/panning.h"

#include <QMainWindow>
#include <QPointer>
#include <QString>
#include <array>
#include <functional>
#include <optional>
#include <vector>

class Dialogs;
class frmTip;
struct FileDialogRequest;
struct LanguageTables;
class QAction;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPushButton;
class QRadioButton;
class QTimer;

// What a move or a click over the image does. The names are those of the
// mode texts the window has always kept ("", "select", "etalo", "0", "done",
// "superetalo", "coor").
enum class PickMode {
    Empty,      // "": nothing picked since start-up
    Select,     // "select": picking the five stars of a solution
    Etalo,      // "etalo": picking the reference stars of the calibration by image
    Zero,       // "0": the five stars picked, waiting for the solve
    Done,       // "done": the calibration's third star picked
    SuperEtalo, // "superetalo": picking markers for the calibration from markers
    Coor,       // "coor": a solution accepted, a click reads the sky position
};

// What the main window needs from the program around it.
struct FormContext {
    QString programFolder;            // lang.cfg, defaut.cfg, config.cfg, data.txt live here
    Dialogs *dialogs = nullptr;       // message boxes and file dialogs
    LanguageTables *lang = nullptr;   // captions, MessageTexts and hints
    QString catalogueHost;            // host:port of the catalogue service; empty = build default
};

class Form1 : public QMainWindow {
    Q_OBJECT
public:
    explicit Form1(const FormContext &context, QWidget *parent = nullptr);
    ~Form1() override;

    // ---- What the window was given -------------------------------------
    QString programFolder;
    Dialogs *dialogs;
    LanguageTables *lang;
    QString catalogueHost;
    // How long and how much a catalogue download may take.
    TransferLimits transferLimits;
    // How the program ends (quit, close box, end of the window object).
    std::function<void()> endProgram;

    // ---- Public integers through which the dialogs report back ---------
    int WizardStatus = 0; // 1 from "Terminer" until the solve after the fifth pick returned
    int ConfigStatus = 0; // 2 while the configuration manager is open from LoadCorr

    // The configuration manager's entries, kept from one opening to the next.
    OpticalConfigLibrary opticalConfigs;

    // ---- Menus -----------------------------------------------------------
    QMenu *mnu_fichier, *mnu_option, *mnu_aide;
    QAction *mnu_wizard, *mnu_open, *mnu_save, *mnu_space1, *mnu_savedefaut, *space4, *mnu_quit;
    QAction *mnu_config, *mnu_space2, *mnu_etalonage2, *mnu_etalonage, *mnu_superetalonage;
    QAction *mnu_help, *mnu_about;

    // ---- Left column -----------------------------------------------------
    std::array<QGroupBox *, 7> Frm;
    std::array<QLabel *, 17> lbl;
    QPushButton *DownloadData, *SelectStar, *startCalcul, *FullMap;
    std::array<QLineEdit *, 3> txt_ra;  // hours, minutes, seconds
    std::array<QLineEdit *, 3> txt_dec; // degrees, minutes, seconds
    std::array<QRadioButton *, 4> txt_dec_sign; // 0 "-", 1 "+" (field centre); 2 "-", 3 "+" (calibration)
    std::array<QLabel *, 2> txt_dec_sign_show;  // the signs the rest of the program reads
    QLineEdit *txt_epoch, *txt_mag, *txt_mag2, *txt_distance;
    QLineEdit *txt_tolerance, *txt_corrasd, *txt_corrdec, *txt_url, *txt_calcul;
    QPushButton *LoadCorr, *Loadimg;
    QCheckBox *CheckDecideur;
    QListWidget *status;
    QLabel *info;
    std::array<QLineEdit *, 8> Etalo; // calibration boxes: X, Y, RA h m s, Dec d m s
    QPushButton *BoutonEtalo;
    QLabel *sugestion;

    // ---- Image side --------------------------------------------------------
    QWidget *PicOrange;             // the viewport
    ImageBox *Picture1;             // the image box; its position is the scroll position
    std::array<PanBar *, 5> PicMove; // 1 left, 2 bottom, 3 right, 4 top (0 unused)
    Magnifier *zoom;
    QTimer *Timer1;                 // panning, every 50 ms

    // Marks inside the image box. Element 0 of each array is the design
    // element; Main creates star(1..4000) and clicpic(1..5).
    std::vector<Mark> star;
    std::vector<Mark> clicpic;
    Mark centerpic;
    void createMarkers();

    // ---- Window state ------------------------------------------------------
    StarTable stars;
    // The last download's answer could not be written, and the answer file
    // still holds an older one (a folder the user may not write keeps it),
    // which must not pass for this field's catalogue.
    bool answerOutdated = false;
    std::array<double, 11> selX{}, selY{}; // picks 1..5
    int clickCount = 0;
    double coefA = 0, coefB = 0, coefC = 0, coefD = 0, coefE = 0, coefF = 0; // plate model
    double scaleRa = 0, scaleDec = 0; // pixels per degree, taken at each solve
    // The accepted plate and the scales it was fitted under. The click read-out
    // takes these, so candidates declined since and coefficients taken anew by
    // a later solve never shift the positions it gives.
    double readoutPlate[6] = {};
    double readoutScaleRa = 0, readoutScaleDec = 0;
    int mouseX = 0, mouseY = 0;
    PickMode pickMode = PickMode::Empty;
    QString mapState;  // "", "loading", "done"
    bool imageLoaded = false;
    bool selectionDone = false;
    bool solutionValid = false;
    int etaloStep = 0;
    int etaloPending = 0;
    std::array<int, 4> refX{}, refY{};
    std::array<double, 4> refRa{}, refDec{};
    int panDir = 0;
    WId mainHwnd = 0;
    // Which picture the read-outs belong to, by its resolved path: the one the
    // image box shows (empty before any), the one the plate coefA..F was
    // accepted on, and the one the catalogue markers were last drawn over.
    // Plate and markers are dropped (none) when another picture is loaded or a
    // project opened, and then read nothing out.
    QString shownImage;
    std::optional<QString> plateImage = QString();
    std::optional<QString> markersImage = QString();
    bool plateFitsShownImage() const { return plateImage == shownImage; }

    // ---- Start-up and shut-down ------------------------------------------
    void Form_Load();
    void mnu_quit_Click();
    void LogStatus(const QString &text);
    QString defaultsFilePath() const;

    // ---- Field input helpers (form1_fields.cpp) ---------------------------
    void txt_corrasd_Change();
    void txt_corrdec_Change();
    void txt_epoch_Change();
    void txt_dec_sign_Click(int Index);
    // The field centre's declination in degrees, its three boxes read as typed
    // numbers (a comma is a decimal point; empty minutes or seconds are 0) and
    // its sign from the label; none when the degrees are empty or a box is not
    // a number.
    std::optional<double> fieldCentreDecDeg() const;

    // ---- Hints (form1_hints.cpp) -------------------------------------------
    void ShowSuggestion(const QString &key, int state, const QString &firstNumber, const QString &secondNumber);
    // A flag as the state (solutionValid, imageLoaded): true counts as -1, as the hint keys expect.
    void ShowSuggestion(const QString &key, bool state, const QString &firstNumber, const QString &secondNumber);

    // ---- Catalogue download and parse (form1_catalogue.cpp) ---------------
    void DownloadData_Click();
    // What the status list says of a failed download, after "Échec du
    // téléchargement du catalogue : ", for the answer file at answerPath.
    static QString downloadFailureText(const DownloadOutcome &outcome, const QString &answerPath);
    void READFILE();

    // ---- Image view and panning (form1_image_view.cpp) --------------------
    void Loadimg_Click();
    void PicMove_MouseDown(int Index, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, float X, float Y);
    void PicMove_MouseUp(int Index, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, float X, float Y);
    void Timer1_Timer();
    // One panning step with the platform's state given (the timer reads it).
    void panTick(const PanInput &input);
    ArrowKeyTracker *arrowKeys = nullptr; // arrow keys held, seen application-wide

    // ---- Star picking and magnifier (form1_picking.cpp) -------------------
    void SelectStar_Click();
    void dozoom();
    void doselect();
    void zoom_Click();
    void zoom_MouseMove(Qt::MouseButtons Button, Qt::KeyboardModifiers Shift, float X, float Y);

    // ---- Pointer over the image and read-outs (form1_pointer.cpp) ---------
    void Picture1_MouseMove(Qt::MouseButtons Button, Qt::KeyboardModifiers Shift, float X, float Y);
    void Picture1_Click();

    // ---- Plate solution (form1_solution.cpp) -------------------------------
    void Algo();
    void startCalcul_Click();

    // ---- Catalogue overlay and full map (form1_overlay.cpp) ---------------
    void map();
    void FullMap_Click();

    // ---- Calibrations in the main window (form1_calibration.cpp) ----------
    void mnu_etalonage_Click();
    void mnu_superetalonage_Click();
    void BoutonEtalo_Click();
    void Etalo_Change(int Index);

    // ---- Project and defaults files (form1_files.cpp) ---------------------
    void mnu_open_Click();
    void mnu_save_Click();
    void mnu_savedefaut_Click();

    // ---- Commands that open windows (form1_commands.cpp) ------------------
    void mnu_wizard_Click();
    void LoadCorr_Click();
    void mnu_config_Click();
    void mnu_etalonage2_Click();
    void mnu_help_Click();
    void mnu_about_Click();
    QPointer<frmTip> helpWindow; // the one help window, while it is open

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void createWidgets();
    void createActions();
    void createMenus();
    void connectFieldHandlers();
    // Each concern file wires its own controls.
    void connectCatalogue();
    void connectImageView();
    void connectPicking();
    void connectPointer();
    void connectSolution();
    void connectOverlay();
    void connectCalibration();
    void connectFiles();
    void connectCommands();
    FileDialogRequest projectDialogRequest(int titleEntry) const;
    void showCalibrationFrame(bool calibrating);
    bool scalesKnown() const;
    void hoverReadout(float X, float Y);
    void fillCalibrationBoxes(const Mark &marker, double raHours, double decDeg);
    void clickReadoutAtPointer();
    void dropCalibrationMark();
    void storeReferenceStarAndCompute();
    QWidget *createLeftColumn();
    QWidget *createImageSide();
};
