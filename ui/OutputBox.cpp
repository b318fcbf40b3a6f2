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
#include <utility>

namespace morvanta {

// Scintilla's loader interface (ILoader in its ILoader.h, which Debian's QScintilla package does
// not ship): a document under construction that another thread may fill.
class ScintillaLoader {
public:
    virtual int Release() = 0;
    virtual int AddData(const char* data, std::ptrdiff_t length) = 0;
    virtual void* ConvertToDocument() = 0;

protected:
    ~ScintillaLoader() = default;
};

namespace {

constexpr int kScintillaStatusOk = 0;
constexpr int kFontSizeHundredths = 975;

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

DocumentLoader::DocumentLoader(DocumentLoader&& other) noexcept
    : loader_(std::exchange(other.loader_, nullptr)),
      document_(std::exchange(other.document_, nullptr)),
      longestLine_(other.longestLine_),
      currentLine_(other.currentLine_) {}

DocumentLoader& DocumentLoader::operator=(DocumentLoader&& other) noexcept {
    if (this != &other) {
        release();
        loader_ = std::exchange(other.loader_, nullptr);
        document_ = std::exchange(other.document_, nullptr);
        longestLine_ = other.longestLine_;
        currentLine_ = other.currentLine_;
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
    measure(bytes);
    return loader_->AddData(bytes.data(), static_cast<std::ptrdiff_t>(bytes.size())) ==
           kScintillaStatusOk;
}

void DocumentLoader::measure(std::string_view bytes) {
    std::size_t at = 0;
    while (at < bytes.size()) {
        const std::size_t lf = bytes.find('\n', at);
        if (lf == std::string_view::npos) {
            currentLine_ += bytes.size() - at;
            break;
        }
        const std::size_t line = currentLine_ + (lf - at);
        longestLine_ = std::max(longestLine_, line > 0 ? line - 1 : 0);
        currentLine_ = 0;
        at = lf + 1;
    }
    longestLine_ = std::max(longestLine_, currentLine_);
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
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    SendScintilla(SCI_SETPASTECONVERTENDINGS, 1UL, 0L);
    SendScintilla(SCI_SETWRAPMODE, static_cast<unsigned long>(SC_WRAP_NONE), 0L);

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
                   int, int) { wrapIfWiderThanBox(position, modificationType, length); });
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
    SendScintilla(SCI_SETUNDOCOLLECTION, 0UL, 0L);
    setWrapping(false);
    SendScintilla(SCI_CLEARALL);
    DocumentLoader measured;
    measured.measure(bytes);
    SendScintilla(SCI_APPENDTEXT, static_cast<unsigned long>(bytes.size()),
                  reinterpret_cast<long>(bytes.data()));
    applyDocumentSettings();
    showFromTop(measured.longestLine());
}

DocumentLoader OutputBox::createLoader() {
    const long loader = SendScintilla(SCI_CREATELOADER, 0UL, 0L);
    return DocumentLoader(reinterpret_cast<ScintillaLoader*>(static_cast<std::intptr_t>(loader)));
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
    showFromTop(loader.longestLine());
}

void OutputBox::showFromTop(std::size_t longestLine) {
    if (longestLine > static_cast<std::size_t>(columnsShown()) &&
        SendScintilla(SCI_GETLINECOUNT) <= kMaxWrappedLines) {
        setWrapping(true);
    }
    SendScintilla(SCI_GOTOPOS, 0UL, 0L);
    SendScintilla(SCI_SETFIRSTVISIBLELINE, 0UL, 0L);
}

std::string_view OutputBox::bytes() {
    const auto* text = static_cast<const char*>(SendScintillaPtrResult(SCI_GETCHARACTERPOINTER));
    const long length = SendScintilla(SCI_GETLENGTH);
    return text != nullptr ? std::string_view(text, static_cast<std::size_t>(length))
                           : std::string_view();
}

QString OutputBox::text() {
    const std::string_view all = bytes();
    return QString::fromUtf8(all.data(), static_cast<qsizetype>(all.size()));
}

bool OutputBox::isWrapping() {
    return SendScintilla(SCI_GETWRAPMODE) != SC_WRAP_NONE;
}

void OutputBox::setWrapping(bool on) {
    SendScintilla(SCI_SETWRAPMODE, static_cast<unsigned long>(on ? SC_WRAP_WORD : SC_WRAP_NONE),
                  0L);
}

int OutputBox::columnsShown() {
    const long width =
        viewport()->width() - SendScintilla(SCI_GETMARGINLEFT) - SendScintilla(SCI_GETMARGINRIGHT);
    const long glyph = SendScintilla(SCI_TEXTWIDTH, static_cast<unsigned long>(STYLE_DEFAULT), "0");
    return glyph > 0 ? static_cast<int>(width / glyph) : 0;
}

void OutputBox::wrapIfWiderThanBox(int position, int modificationType, int length) {
    if ((modificationType & SC_MOD_INSERTTEXT) == 0 || isWrapping() ||
        SendScintilla(SCI_GETLINECOUNT) > kMaxWrappedLines) {
        return;
    }
    const long first = SendScintilla(SCI_LINEFROMPOSITION, static_cast<unsigned long>(position));
    const long last =
        SendScintilla(SCI_LINEFROMPOSITION, static_cast<unsigned long>(position + length));
    const long columns = columnsShown();
    for (long line = first; line <= last; ++line) {
        const long start = SendScintilla(SCI_POSITIONFROMLINE, static_cast<unsigned long>(line));
        const long end = SendScintilla(SCI_GETLINEENDPOSITION, static_cast<unsigned long>(line));
        if (end - start > columns) {
            setWrapping(true);
            return;
        }
    }
}

bool OutputBox::focusNextPrevChild(bool next) {
    return QWidget::focusNextPrevChild(next);
}

}  // namespace morvanta
