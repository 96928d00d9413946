#include "platform/rtf_reader.h"

#include "platform/failure.h"
#include "platform/text_file.h"

#include <QColor>
#include <QStringDecoder>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>
#include <utility>
#include <vector>

namespace {

// Deeper groups are still counted, so their braces balance, but their state
// changes are not saved: a hostile file cannot grow the stack without bound.
constexpr int kMaxGroupDepth = 512;
// Parameters are clamped to what RTF allows (a signed 32-bit number).
constexpr qint64 kMaxParameter = 2147483647;
// Indents and spacings beyond 22 inches are clamped.
constexpr int kMaxTwips = 31680;
constexpr int kDefaultCodePage = 1252;
constexpr int kDefaultTabTwips = 720;

// Twips to the document's pixels at 96 dots per inch.
constexpr double pixelsOfTwips(double twips)
{
    return twips / 15.0;
}

struct CharState {
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool hidden = false;
    int halfPoints = 0; // 0: the viewer's own size
    int colour = 0;     // index into the colour table; 0 is "automatic"
    bool operator==(const CharState &) const = default;
};

struct ParaState {
    Qt::Alignment alignment = Qt::AlignLeft;
    int leftTwips = 0, firstLineTwips = 0, beforeTwips = 0, afterTwips = 0;
};

enum class Destination { Text, Skip, ColourTable };

struct GroupState {
    CharState chars;
    ParaState para;
    Destination destination = Destination::Text;
    int fallbackLength = 1; // \ucN: characters that stand in for each \uN
};

bool isAsciiLetter(char16_t c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

bool isAsciiDigit(char16_t c)
{
    return c >= u'0' && c <= u'9';
}

int hexValue(char16_t c)
{
    if (c >= u'0' && c <= u'9')
        return c - u'0';
    if (c >= u'a' && c <= u'f')
        return c - u'a' + 10;
    if (c >= u'A' && c <= u'F')
        return c - u'A' + 10;
    return -1;
}

// Destinations whose content is not text to show.
bool isSkippedDestination(QStringView word)
{
    static const char *const names[] = {
        "fonttbl", "stylesheet", "info", "pict", "object", "header", "headerl", "headerr", "headerf",
        "footer", "footerl", "footerr", "footerf", "footnote", "fldinst", "filetbl", "listtable",
        "listoverridetable", "revtbl", "rsidtbl", "generator", "xmlnstbl", "themedata",
        "colorschememapping", "latentstyles", "datastore", "pn", "shpinst", "nonshppict", "private",
        "docvar", "userprops", "bkmkstart", "bkmkend", "xe", "tc", "txe", "rxe", "atnid", "atnauthor",
        "annotation", "template", "pgdsctbl", "listpicture", "mmathPr", "ftnsep", "ftnsepc",
        "aftnsep", "aftnsepc", "ftncn", "aftncn", "falt", "panose", "fname", "leveltext",
        "levelnumbers"};
    return std::any_of(std::begin(names), std::end(names),
                       [&](const char *name) { return word == QLatin1String(name); });
}

// The named characters word processors write as control words.
char16_t namedCharacter(QStringView word)
{
    static const struct {
        const char *name;
        char16_t character;
    } table[] = {
        {"tab", u'\t'},        {"line", 0x2028},      {"emdash", 0x2014},    {"endash", 0x2013},
        {"bullet", 0x2022},    {"lquote", 0x2018},    {"rquote", 0x2019},    {"ldblquote", 0x201C},
        {"rdblquote", 0x201D}, {"emspace", 0x2003},   {"enspace", 0x2002},   {"qmspace", 0x2005},
        {"cell", u'\t'},
    };
    for (const auto &entry : table)
        if (word == QLatin1String(entry.name))
            return entry.character;
    return 0;
}

QStringDecoder decoderForCodePage(qint64 codePage)
{
    QByteArray name;
    switch (codePage) {
    case 65001: name = "UTF-8"; break;
    case 10000: name = "macintosh"; break;
    case 437: case 850: case 852: case 860: case 862: case 863: case 864: case 865: case 866:
        name = "IBM" + QByteArray::number(codePage);
        break;
    case 932: name = "Shift_JIS"; break;
    default: name = "windows-" + QByteArray::number(codePage); break;
    }
    QStringDecoder decoder(name.constData(), QStringDecoder::Flag::Stateless);
    if (decoder.isValid())
        return decoder;
    QStringDecoder fallback("windows-1252", QStringDecoder::Flag::Stateless);
    if (fallback.isValid())
        return fallback;
    return QStringDecoder(QStringDecoder::Latin1, QStringDecoder::Flag::Stateless);
}

class RtfParser {
public:
    // `source` holds the file's bytes one per character (Latin-1), so raw
    // bytes and \'hh escapes decode alike through the document's code page.
    RtfParser(const QString &source, qsizetype start, QTextDocument &document)
        : source_(source), pos_(start), cursor_(&document), decoder_(decoderForCodePage(kDefaultCodePage))
    {
    }

    void run();

private:
    bool atEnd() const { return pos_ >= source_.size(); }
    char16_t peek() const { return source_.at(pos_).unicode(); }

    void openGroup();
    void closeGroup();
    void readControl();
    void controlWord(QStringView word, bool hasParameter, qint64 parameter);
    void controlSymbol(char16_t symbol);
    bool formatting(QStringView word, bool hasParameter, qint64 parameter);
    void paragraphFormatting(QStringView word, qint64 parameter);
    void readColourWord(QStringView word, qint64 parameter);
    void setDefaultTabStop(qint64 twips);

    // Text of the current destination.
    void addCharacter(char16_t c);
    void addByte(uchar byte);
    void addUnicode(qint64 parameter);
    void appendText(QStringView text);
    void endParagraph();
    bool consumedAsFallback();

    // Everything held back is written in the format it was collected under;
    // called before every change of format, destination or paragraph.
    void flush();
    QTextCharFormat charFormat() const;
    QTextBlockFormat blockFormat() const;

    const QString &source_;
    qsizetype pos_ = 0;
    QTextCursor cursor_;
    QStringDecoder decoder_;

    GroupState state_;
    std::vector<GroupState> saved_;
    int unsavedDepth_ = 0;
    bool nextIsOptional_ = false; // the group began with \*
    int fallbackToSkip_ = 0;
    char16_t highSurrogate_ = 0;

    QString pendingText_;
    QByteArray pendingBytes_;

    std::vector<QColor> colours_;
    int red_ = 0, green_ = 0, blue_ = 0;
    bool colourGiven_ = false;
};

void RtfParser::run()
{
    // One edit block: outside of one, every insertion lays out its whole
    // paragraph again, which makes long paragraphs quadratic.
    cursor_.beginEditBlock();
    setDefaultTabStop(kDefaultTabTwips);
    while (!atEnd()) {
        const char16_t c = peek();
        ++pos_;
        switch (c) {
        case u'{': openGroup(); break;
        case u'}': closeGroup(); break;
        case u'\\': readControl(); break;
        case u'\r':
        case u'\n':
            break; // line ends in the file are not text
        default:
            nextIsOptional_ = false;
            if (c >= 0x80)
                addByte(uchar(c));
            else if (c >= 0x20 || c == u'\t')
                addCharacter(c);
            break;
        }
    }
    appendText({});
    flush();
    cursor_.endEditBlock();
}

void RtfParser::openGroup()
{
    flush();
    fallbackToSkip_ = 0;
    nextIsOptional_ = false;
    if (int(saved_.size()) >= kMaxGroupDepth) {
        ++unsavedDepth_;
        return;
    }
    saved_.push_back(state_);
}

void RtfParser::closeGroup()
{
    flush();
    fallbackToSkip_ = 0;
    nextIsOptional_ = false;
    if (state_.destination == Destination::ColourTable && colourGiven_)
        colours_.emplace_back(red_, green_, blue_); // a last entry without its ';'
    colourGiven_ = false;
    if (unsavedDepth_ > 0) {
        --unsavedDepth_;
        return;
    }
    if (saved_.empty())
        return; // a stray brace: nothing to close
    state_ = saved_.back();
    saved_.pop_back();
}

void RtfParser::readControl()
{
    if (atEnd())
        return;
    if (!isAsciiLetter(peek())) {
        const char16_t symbol = peek();
        ++pos_;
        controlSymbol(symbol);
        return;
    }
    const qsizetype start = pos_;
    while (!atEnd() && isAsciiLetter(peek()))
        ++pos_;
    const QStringView word = QStringView(source_).mid(start, pos_ - start);

    bool negative = false;
    if (!atEnd() && peek() == u'-' && pos_ + 1 < source_.size() && isAsciiDigit(source_.at(pos_ + 1).unicode())) {
        negative = true;
        ++pos_;
    }
    bool hasParameter = false;
    qint64 parameter = 0;
    while (!atEnd() && isAsciiDigit(peek())) {
        hasParameter = true;
        parameter = std::min(kMaxParameter, parameter * 10 + (peek() - u'0'));
        ++pos_;
    }
    if (negative)
        parameter = -parameter;
    if (!atEnd() && peek() == u' ')
        ++pos_; // the blank that ends a control word belongs to it

    controlWord(word, hasParameter, parameter);
}

void RtfParser::controlSymbol(char16_t symbol)
{
    switch (symbol) {
    case u'*':
        nextIsOptional_ = true;
        return;
    case u'\'': {
        const int high = atEnd() ? -1 : hexValue(peek());
        if (high < 0)
            return;
        ++pos_;
        const int low = atEnd() ? -1 : hexValue(peek());
        if (low < 0)
            return;
        ++pos_;
        addByte(uchar(high * 16 + low));
        break;
    }
    case u'\\':
    case u'{':
    case u'}':
        addCharacter(symbol);
        break;
    case u'~': addCharacter(0x00A0); break;
    case u'_': addCharacter(0x2011); break;
    case u'\r':
    case u'\n':
        if (!consumedAsFallback())
            endParagraph();
        break;
    default: // \- (optional hyphen), \| \: and unknown symbols show nothing
        consumedAsFallback();
        break;
    }
    nextIsOptional_ = false;
}

void RtfParser::controlWord(QStringView word, bool hasParameter, qint64 parameter)
{
    const bool optional = nextIsOptional_;
    nextIsOptional_ = false;

    if (word == u"bin") {
        // Binary data: skipped whatever the destination.
        if (hasParameter && parameter > 0)
            pos_ = std::min(source_.size(), pos_ + qsizetype(parameter));
        return;
    }
    if (state_.destination == Destination::Skip)
        return;
    if (optional || isSkippedDestination(word)) {
        flush();
        state_.destination = Destination::Skip;
        return;
    }
    if (word == u"colortbl") {
        flush();
        state_.destination = Destination::ColourTable;
        colourGiven_ = false;
        return;
    }
    if (state_.destination == Destination::ColourTable) {
        readColourWord(word, parameter);
        return;
    }
    if (word == u"u") {
        addUnicode(parameter);
        return;
    }
    if (consumedAsFallback())
        return;
    if (word == u"uc") {
        state_.fallbackLength = int(std::clamp<qint64>(parameter, 0, 16));
    } else if (word == u"par" || word == u"page" || word == u"sect" || word == u"row") {
        endParagraph();
    } else if (const char16_t c = namedCharacter(word)) {
        addCharacter(c);
    } else if (word == u"deftab") {
        setDefaultTabStop(parameter);
    } else if (word == u"ansicpg") {
        flush();
        decoder_ = decoderForCodePage(parameter);
    } else if (word == u"ansi" || word == u"mac" || word == u"pc" || word == u"pca") {
        flush();
        decoder_ = decoderForCodePage(word == u"ansi" ? 1252 : word == u"mac" ? 10000 : word == u"pc" ? 437 : 850);
    } else if (!formatting(word, hasParameter, parameter)) {
        paragraphFormatting(word, parameter);
    }
}

bool RtfParser::formatting(QStringView word, bool hasParameter, qint64 parameter)
{
    CharState next = state_.chars;
    const bool on = !hasParameter || parameter != 0;
    if (word == u"plain")
        next = CharState{};
    else if (word == u"b")
        next.bold = on;
    else if (word == u"i")
        next.italic = on;
    else if (word == u"ul" || word == u"uld" || word == u"uldb" || word == u"ulw" || word == u"uldash")
        next.underline = on;
    else if (word == u"ulnone")
        next.underline = false;
    else if (word == u"v")
        next.hidden = on;
    else if (word == u"fs")
        next.halfPoints = hasParameter ? int(std::clamp<qint64>(parameter, 1, 3276)) : 24;
    else if (word == u"cf")
        next.colour = int(std::clamp<qint64>(parameter, 0, 0xFFFF));
    else
        return false;
    if (!(next == state_.chars)) {
        flush();
        state_.chars = next;
    }
    return true;
}

void RtfParser::paragraphFormatting(QStringView word, qint64 parameter)
{
    ParaState &para = state_.para;
    const int twips = int(std::clamp<qint64>(parameter, -kMaxTwips, kMaxTwips));
    if (word == u"pard")
        para = ParaState{};
    else if (word == u"ql")
        para.alignment = Qt::AlignLeft;
    else if (word == u"qc")
        para.alignment = Qt::AlignHCenter;
    else if (word == u"qr")
        para.alignment = Qt::AlignRight;
    else if (word == u"qj")
        para.alignment = Qt::AlignJustify;
    else if (word == u"li")
        para.leftTwips = twips;
    else if (word == u"fi")
        para.firstLineTwips = twips;
    else if (word == u"sb")
        para.beforeTwips = std::max(0, twips);
    else if (word == u"sa")
        para.afterTwips = std::max(0, twips);
    // unknown control words are ignored
}

void RtfParser::readColourWord(QStringView word, qint64 parameter)
{
    const int value = int(std::clamp<qint64>(parameter, 0, 255));
    if (word == u"red")
        red_ = value;
    else if (word == u"green")
        green_ = value;
    else if (word == u"blue")
        blue_ = value;
    else
        return;
    colourGiven_ = true;
}

void RtfParser::setDefaultTabStop(qint64 twips)
{
    if (twips <= 0)
        return;
    QTextDocument *document = cursor_.document();
    QTextOption option = document->defaultTextOption();
    option.setTabStopDistance(pixelsOfTwips(double(std::min<qint64>(twips, kMaxTwips))));
    document->setDefaultTextOption(option);
}

bool RtfParser::consumedAsFallback()
{
    if (fallbackToSkip_ <= 0)
        return false;
    --fallbackToSkip_;
    return true;
}

void RtfParser::addCharacter(char16_t c)
{
    if (state_.destination == Destination::ColourTable) {
        if (c == u';') {
            colours_.push_back(colourGiven_ ? QColor(red_, green_, blue_) : QColor());
            red_ = green_ = blue_ = 0;
            colourGiven_ = false;
        }
        return;
    }
    if (state_.destination != Destination::Text || consumedAsFallback())
        return;
    appendText(QStringView(&c, 1));
}

void RtfParser::addByte(uchar byte)
{
    if (state_.destination != Destination::Text || consumedAsFallback())
        return;
    if (highSurrogate_ != 0)
        appendText({});
    // Held back so that the bytes of one multi-byte character decode together.
    pendingBytes_ += char(byte);
}

void RtfParser::addUnicode(qint64 parameter)
{
    if (state_.destination != Destination::Text || consumedAsFallback())
        return;
    // Values above 32767 are written as negative numbers.
    const qint64 value = parameter < 0 ? parameter + 65536 : parameter;
    const char16_t unit = (value <= 0 || value > 0xFFFF) ? char16_t(QChar::ReplacementCharacter) : char16_t(value);
    if (QChar::isLowSurrogate(unit) && highSurrogate_ != 0) {
        const char16_t pair[2] = {std::exchange(highSurrogate_, char16_t(0)), unit};
        appendText(QStringView(pair, 2));
    } else if (QChar::isHighSurrogate(unit)) {
        appendText({});
        highSurrogate_ = unit; // waits for its low half
    } else {
        const char16_t shown = QChar::isLowSurrogate(unit) ? char16_t(QChar::ReplacementCharacter) : unit;
        appendText(QStringView(&shown, 1));
    }
    fallbackToSkip_ = state_.fallbackLength;
}

void RtfParser::appendText(QStringView text)
{
    if (!pendingBytes_.isEmpty())
        pendingText_ += decoder_.decode(std::exchange(pendingBytes_, {}));
    if (highSurrogate_ != 0) {
        pendingText_ += QChar(QChar::ReplacementCharacter); // a half without its partner
        highSurrogate_ = 0;
    }
    pendingText_ += text;
}

void RtfParser::endParagraph()
{
    if (state_.destination != Destination::Text)
        return;
    flush();
    cursor_.setBlockFormat(blockFormat());
    cursor_.insertBlock(blockFormat(), charFormat());
}

void RtfParser::flush()
{
    if (!pendingBytes_.isEmpty())
        pendingText_ += decoder_.decode(std::exchange(pendingBytes_, {}));
    if (pendingText_.isEmpty())
        return;
    if (!state_.chars.hidden) {
        // A paragraph takes the paragraph format in force where its text is.
        cursor_.setBlockFormat(blockFormat());
        cursor_.insertText(pendingText_, charFormat());
    }
    pendingText_.clear();
}

QTextCharFormat RtfParser::charFormat() const
{
    const CharState &chars = state_.chars;
    QTextCharFormat format;
    format.setFontWeight(chars.bold ? QFont::Bold : QFont::Normal);
    format.setFontItalic(chars.italic);
    format.setFontUnderline(chars.underline);
    if (chars.halfPoints > 0)
        format.setFontPointSize(chars.halfPoints / 2.0);
    if (chars.colour > 0 && chars.colour < int(colours_.size()) && colours_[size_t(chars.colour)].isValid())
        format.setForeground(colours_[size_t(chars.colour)]);
    return format;
}

QTextBlockFormat RtfParser::blockFormat() const
{
    const auto pixels = [](int twips) { return pixelsOfTwips(twips); };
    const ParaState &para = state_.para;
    QTextBlockFormat format;
    format.setAlignment(para.alignment);
    format.setLeftMargin(pixels(std::max(0, para.leftTwips)));
    format.setTextIndent(pixels(para.firstLineTwips));
    if (para.firstLineTwips < 0) {
        // A hanging indent: the first tab of the first line goes to the left
        // indent, where the following lines start (a bullet, then its text).
        // Tab positions count from the start of the line.
        format.setTabPositions({QTextOption::Tab(pixels(-para.firstLineTwips), QTextOption::LeftTab)});
    }
    format.setTopMargin(pixels(para.beforeTwips));
    format.setBottomMargin(pixels(para.afterTwips));
    return format;
}

// Where the document's first brace is, or -1 when the bytes are not RTF.
qsizetype rtfStart(const QByteArray &bytes)
{
    qsizetype i = 0;
    while (i < bytes.size() && (bytes[i] == ' ' || bytes[i] == '\t' || bytes[i] == '\r' || bytes[i] == '\n'))
        ++i;
    return bytes.mid(i, 5) == "{\\rtf" ? i : -1;
}

} // namespace

bool readRtf(const QByteArray &rtf, QTextDocument &document)
{
    document.clear();
    const qsizetype start = rtfStart(rtf);
    if (start < 0)
        return false;
    const bool undo = document.isUndoRedoEnabled();
    document.setUndoRedoEnabled(false); // a viewer needs no undo history of the load
    const QString source = QString::fromLatin1(rtf);
    RtfParser(source, start, document).run();
    document.setUndoRedoEnabled(undo);
    return true;
}

void loadRtfFile(const QString &path, QTextDocument &document)
{
    document.clear();
    if (!readRtf(readFileBytes(path), document))
        throw Failure(FailureCode::InvalidFileFormat);
}
