#pragma once
// Panning the image inside its viewport: one step of 10 pixels per timer tick
// toward a held pan bar or arrow key, while there is more image on that side.

#include <QObject>
#include <QPoint>
#include <QSize>

struct HeldArrowKeys {
    bool left = false;
    bool up = false;
    bool right = false;
    bool down = false;
};

// What a tick reads of the platform.
struct PanInput {
    bool mainWindowActive = false;
    bool leftButtonHeld = false;
    HeldArrowKeys keys;
};

inline constexpr int kPanStepPixels = 10;

// Pan bars by index, as `panDir` holds them (0: none held).
enum PanBarIndex { PanLeft = 1, PanBottom = 2, PanRight = 3, PanTop = 4 };

// The image box's top-left corner in the viewport after one step. Only the
// first direction that is wanted and has image beyond the viewport's edge
// moves, in the order right, up, left, down. The step is not clamped: the last
// one may carry the image edge up to 9 pixels past the viewport's edge.
QPoint panStep(QPoint imageTopLeft, QSize imageSize, QSize viewportSize, int panDir,
               const HeldArrowKeys &keys);

// Which arrow keys are held, seen by an application event filter so that they
// count wherever the focus is (a text field keeps its caret moves too). Keys
// are let go when the program loses the focus, since their release then goes
// to another program and would leave the view panning for ever.
class ArrowKeyTracker : public QObject {
    Q_OBJECT
public:
    explicit ArrowKeyTracker(QObject *parent = nullptr) : QObject(parent) {}
    const HeldArrowKeys &held() const { return held_; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    HeldArrowKeys held_;
};
