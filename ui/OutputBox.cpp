// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/OutputBox.h"

#include <QFont>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QPalette>
#include <QScrollBar>
#include <QString>

#include <algorithm>
#include <cstdint>
#include <string>
#include <utility>

// As Scintilla's own ILoader.h declares it, in the same (global) namespace: Scintilla's document
// derives from this class, so calls through it reach the document's own functions.
typedef std::ptrdiff_t Sci_Position;

class ILoader {
public:
    virtual int Release() = 0;
    // Returns a status code from SC_STATUS_*
    virtual int AddData(const char* data, Sci_Position length) = 0;
    virtual void* ConvertToDocument() = 0;
};

namespace morvanta {

namespace {

constexpr int kScintillaStatusOk = 0;
constexpr int kFontSizeHundredths = 975;
constexpr std::size_t kTabColumns = 8;
constexpr int kAdvanceSample = 100;

long colour(const QColor& c) {
    return c.red() | (c.green() << 8) | (c.blue() << 16);
}

// Courier where the desktop has it, else the nearest face that really is fixed-pitch.
QFont fixedPitchFont() {
    QFont wanted(QStringLiteral("Courier"));
    wanted.setStyleHint(QFont::TypeWriter);
    wanted.setFixedPitch(true);
    wanted.setPointSizeF(kFontSizeHundredths / 100.0);
    if (!QFontInfo(wanted).fixedPitch()) {
        wanted.setFamily(QFontDatabase::systemFont(QFontDatabase::FixedFont).family());
    }
    wanted.setFamily(QFontInfo(wanted).family());
    return wanted;
}

}  // namespace

void LineWidths::add(std::string_view bytes) {
    for (const char c : bytes) {
        if (c == '\r' || c == '\n') {
            widest_ = std::max(widest_, current_);
            current_ = 0;
        } else if (c == '\t') {
            current_ = (current_ / kTabColumns + 1) * kTabColumns;
        } else if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) {
            ++current_;
        }
    }
}

DocumentLoader::DocumentLoader(DocumentLoader&& other) noexcept
    : loader_(std::exchange(other.loader_, nullptr)),
      document_(std::exchange(other.document_, nullptr)),
      size_(other.size_),
      widths_(other.widths_) {}

DocumentLoader& DocumentLoader::operator=(DocumentLoader&& other) noexcept {
    if (this != &other) {
        release();
        loader_ = std::exchange(other.loader_, nullptr);
        document_ = std::exchange(other.document_, nullptr);
        size_ = other.size_;
        widths_ = other.widths_;
    }
    return *this;
}

DocumentLoader::~DocumentLoader() {
    release();
}

void DocumentLoader::release() {
    if (loader_ != nullptr) {
        loader_->Release();
    }
    loader_ = nullptr;
    document_ = nullptr;
}

bool DocumentLoader::append(std::string_view bytes) {
    if (loader_ == nullptr || document_ != nullptr) {
        return false;
    }
    if (size_ <= OutputBox::kMaxWrappedBytes) {
        widths_.add(bytes.substr(0, OutputBox::kMaxWrappedBytes + 1 - size_));
    }
    size_ += bytes.size();
    return loader_->AddData(bytes.data(), static_cast<Sci_Position>(bytes.size())) ==
           kScintillaStatusOk;
}

void DocumentLoader::finish() {
    if (loader_ != nullptr && document_ == nullptr) {
        document_ = loader_->ConvertToDocument();
    }
}

OutputBox::OutputBox(QWidget* parent) : QsciScintillaBase(parent) {
    for (int margin = 0; margin < 5; ++margin) {
        SendScintilla(SCI_SETMARGINWIDTHN, static_cast<unsigned long>(margin), 0L);
    }
    SendScintilla(SCI_SETHSCROLLBAR, 0UL, 0L);
    SendScintilla(SCI_SETPASTECONVERTENDINGS, 1UL, 0L);
    SendScintilla(SCI_SETTABWIDTH, static_cast<unsigned long>(kTabColumns), 0L);
    setWrapping(false);

    const QPalette& colours = palette();
    const QFont font = fixedPitchFont();
    SendScintilla(SCI_STYLESETFONT, static_cast<unsigned long>(STYLE_DEFAULT),
                  font.family().toUtf8().constData());
    // Scintilla spaces lines by ascent and descent alone; some Courier faces (URW's Nimbus Mono)
    // ask for a negative leading, without which their lines stand far apart.
    const double leading = QFontMetricsF(font).leading();
    if (leading < 0) {
        SendScintilla(SCI_SETEXTRADESCENT, static_cast<unsigned long>(qRound(leading)), 0L);
    }
    SendScintilla(SCI_STYLESETSIZEFRACTIONAL, static_cast<unsigned long>(STYLE_DEFAULT),
                  static_cast<long>(kFontSizeHundredths));
    SendScintilla(SCI_STYLESETFORE, static_cast<unsigned long>(STYLE_DEFAULT),
                  colour(colours.color(QPalette::Text)));
    SendScintilla(SCI_STYLESETBACK, static_cast<unsigned long>(STYLE_DEFAULT),
                  colour(colours.color(QPalette::Base)));
    SendScintilla(SCI_STYLECLEARALL);
    SendScintilla(SCI_SETCARETFORE,
                  static_cast<unsigned long>(colour(colours.color(QPalette::Text))), 0L);
    SendScintilla(SCI_SETSELFORE, 1UL, colour(colours.color(QPalette::HighlightedText)));
    SendScintilla(SCI_SETSELBACK, 1UL, colour(colours.color(QPalette::Highlight)));
    applyDocumentSettings();

    connect(this, &QsciScintillaBase::SCN_MODIFIED, this,
            [this](int position, int modificationType, const char*, int length, int, int, int, int,
                   int, int) { textChanged(position, modificationType, length); });
}

void OutputBox::applyDocumentSettings() {
    SendScintilla(SCI_SETCODEPAGE, static_cast<unsigned long>(SC_CP_UTF8), 0L);
    SendScintilla(SCI_SETEOLMODE, static_cast<unsigned long>(SC_EOL_CRLF), 0L);
    SendScintilla(SCI_SETUNDOCOLLECTION, 1UL, 0L);
    SendScintilla(SCI_EMPTYUNDOBUFFER);
}

void OutputBox::clear() {
    setText({});
}

void OutputBox::setText(std::string_view bytes) {
    replacing_ = true;
    SendScintilla(SCI_SETUNDOCOLLECTION, 0UL, 0L);
    setWrapping(false);
    SendScintilla(SCI_CLEARALL);
    SendScintilla(SCI_APPENDTEXT, static_cast<unsigned long>(bytes.size()),
                  reinterpret_cast<long>(bytes.data()));
    replacing_ = false;
    applyDocumentSettings();
    LineWidths widths;
    widths.add(bytes.substr(0, kMaxWrappedBytes + 1));
    decideWrapping(widths.widest());
    showFromTop();
}

DocumentLoader OutputBox::createLoader() {
    const long loader = SendScintilla(SCI_CREATELOADER, 0UL, 0L);
    return DocumentLoader(reinterpret_cast<ILoader*>(static_cast<std::intptr_t>(loader)));
}

void OutputBox::adopt(DocumentLoader& loader) {
    loader.finish();
    if (loader.document_ == nullptr) {
        return;
    }
    setWrapping(false);
    SendScintilla(SCI_SETDOCPOINTER, 0UL, loader.document_);
    loader.release();
    applyDocumentSettings();
    decideWrapping(loader.widths_.widest());
    showFromTop();
}

void OutputBox::showFromTop() {
    SendScintilla(SCI_GOTOPOS, 0UL, 0L);
    SendScintilla(SCI_SETFIRSTVISIBLELINE, 0UL, 0L);
}

std::string_view OutputBox::bytes() {
    const auto* text = static_cast<const char*>(SendScintillaPtrResult(SCI_GETCHARACTERPOINTER));
    const long length = SendScintilla(SCI_GETLENGTH);
    return text != nullptr ? std::string_view(text, static_cast<std::size_t>(length))
                           : std::string_view();
}

bool OutputBox::isWrapping() {
    return SendScintilla(SCI_GETWRAPMODE) != SC_WRAP_NONE;
}

// Scintilla hands the scroll bars back to "as needed" whenever the wrap mode changes.
void OutputBox::setWrapping(bool on) {
    SendScintilla(SCI_SETWRAPMODE, static_cast<unsigned long>(on ? SC_WRAP_WORD : SC_WRAP_NONE),
                  0L);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
}

bool OutputBox::isSmallEnoughToWrap() {
    return static_cast<std::size_t>(SendScintilla(SCI_GETLENGTH)) <= kMaxWrappedBytes &&
           SendScintilla(SCI_GETLINECOUNT) <= kMaxWrappedLines;
}

// The advance of one character measured over many, since Scintilla gives whole pixels and the
// face advances a fraction (7.8 px for Courier at 9.75 points), which over 60 characters is a
// character and more.
void OutputBox::decideWrapping(std::size_t widestLine) {
    if (!isSmallEnoughToWrap()) {
        setWrapping(false);
        wrapWithheld_ = true;
        return;
    }
    wrapWithheld_ = false;
    const std::string sample(kAdvanceSample, '0');
    const double advance =
        static_cast<double>(SendScintilla(SCI_TEXTWIDTH, static_cast<unsigned long>(STYLE_DEFAULT),
                                          sample.c_str())) /
        kAdvanceSample;
    const long textWidth =
        viewport()->width() - SendScintilla(SCI_GETMARGINLEFT) - SendScintilla(SCI_GETMARGINRIGHT);
    setWrapping(static_cast<double>(widestLine) * advance > static_cast<double>(textWidth));
}

std::size_t OutputBox::widestLineIn(long from, long to) {
    // The pointer comes back as the message's result, which is wide enough to hold it.
    const auto* text = reinterpret_cast<const char*>(static_cast<std::intptr_t>(
        SendScintilla(SCI_GETRANGEPOINTER, static_cast<unsigned long>(from), to - from)));
    LineWidths widths;
    if (text != nullptr) {
        widths.add(std::string_view(text, static_cast<std::size_t>(to - from)));
    }
    return widths.widest();
}

// Typing and pasting: only the lines touched are measured, unless the text has just come down
// to a size that may be wrapped again.
void OutputBox::textChanged(int position, int modificationType, int length) {
    if (replacing_ || (modificationType & (SC_MOD_INSERTTEXT | SC_MOD_DELETETEXT)) == 0) {
        return;
    }
    if (!isSmallEnoughToWrap()) {
        if (isWrapping() || !wrapWithheld_) {
            decideWrapping(0);
        }
        return;
    }
    if (wrapWithheld_) {
        decideWrapping(widestLineIn(0, SendScintilla(SCI_GETLENGTH)));
        return;
    }
    if ((modificationType & SC_MOD_INSERTTEXT) == 0 || isWrapping()) {
        return;
    }
    const long first = SendScintilla(SCI_LINEFROMPOSITION, static_cast<unsigned long>(position));
    const long last =
        SendScintilla(SCI_LINEFROMPOSITION, static_cast<unsigned long>(position + length));
    const long from = SendScintilla(SCI_POSITIONFROMLINE, static_cast<unsigned long>(first));
    const long to = SendScintilla(SCI_GETLINEENDPOSITION, static_cast<unsigned long>(last));
    decideWrapping(widestLineIn(from, to));
}

bool OutputBox::focusNextPrevChild(bool next) {
    return QWidget::focusNextPrevChild(next);
}

}  // namespace morvanta
