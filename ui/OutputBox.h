// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <Qsci/qsciscintillabase.h>

#include <cstddef>
#include <string_view>

// Scintilla's interface for filling a document on another thread. Debian's QScintilla package
// ships no ILoader.h, so OutputBox.cpp declares it exactly as that header does: the object that
// SCI_CREATELOADER hands out is of this very class.
class ILoader;

namespace morvanta {

// The widest line of a text in columns, as the output box lays it out: a character takes one
// column whatever its UTF-8 bytes, a tab reaches the next multiple of eight, CR and LF end a line.
// Fed in pieces of any size: "ab\tc\r\nxyz" gives widest() == 9.
class LineWidths {
public:
    void add(std::string_view bytes);
    std::size_t widest() const { return widest_ > current_ ? widest_ : current_; }

private:
    std::size_t widest_ = 0;
    std::size_t current_ = 0;
};

// Fills a fresh document for an OutputBox, on any thread, so that a table of many megabytes never
// holds up the user-interface thread. Created by OutputBox::createLoader() on the user-interface
// thread, filled elsewhere, handed back to OutputBox::adopt(). A loader dropped unadopted frees its
// document. A default-constructed loader has no document and takes nothing.
class DocumentLoader {
public:
    DocumentLoader() = default;
    DocumentLoader(DocumentLoader&& other) noexcept;
    DocumentLoader& operator=(DocumentLoader&& other) noexcept;
    DocumentLoader(const DocumentLoader&) = delete;
    DocumentLoader& operator=(const DocumentLoader&) = delete;
    ~DocumentLoader();

    // Adds text to the end; false when the memory for it could not be had, or there is no
    // document to add to.
    bool append(std::string_view bytes);
    // Ends the loading; the document is then ready for adopt().
    void finish();

    bool isFinished() const { return document_ != nullptr; }

private:
    friend class OutputBox;
    explicit DocumentLoader(ILoader* loader) : loader_(loader) {}
    void release();

    ILoader* loader_ = nullptr;
    void* document_ = nullptr;
    std::size_t size_ = 0;
    // Measured only while the text is small enough to be wrapped at all.
    LineWidths widths_;
};

// The output box of the main window: an editable plain text box in a fixed-pitch font with a
// vertical scroll bar at all times and never a horizontal one. Line breaks are CR LF in and out:
// Enter types CR LF, pasted text is converted, and bytes() gives back exactly what was set, so a
// table read back is the table. Tab and Shift+Tab move the focus instead of inserting a tab.
//
// Lines wider than the box wrap at its width, so that every character can be seen. Wrapping costs
// time in proportion to the text, so it is given up for texts over kMaxWrappedBytes or
// kMaxWrappedLines: a Build All survey and typed long lines wrap; a table of millions of lines, or
// 50 MB pasted as one line, shows unwrapped at once instead of holding the window for a minute.
class OutputBox : public QsciScintillaBase {
    Q_OBJECT

public:
    static constexpr std::size_t kMaxWrappedBytes = 1 << 20;
    static constexpr long kMaxWrappedLines = 100'000;

    explicit OutputBox(QWidget* parent = nullptr);

    // Replaces the whole text; caret at the start, view at the top.
    void clear();
    void setText(std::string_view bytes);

    DocumentLoader createLoader();
    // Shows a finished loader's document in place of the current text, as setText would.
    void adopt(DocumentLoader& loader);

    // The whole text as stored: UTF-8 with CR LF line breaks. Valid until the text next changes.
    // Throws std::bad_alloc if the text cannot be made contiguous.
    std::string_view bytes();

    bool isWrapping();

protected:
    bool focusNextPrevChild(bool next) override;

private:
    void applyDocumentSettings();
    void showFromTop();
    void textChanged(int position, int modificationType, int length);
    // Wraps when the widest line does not fit, for a text small enough to wrap.
    void decideWrapping(std::size_t widestLine);
    bool isSmallEnoughToWrap();
    std::size_t widestLineIn(long from, long to);
    void setWrapping(bool on);

    bool replacing_ = false;
    // Set when a text too large to wrap may have left lines wider than the box unwrapped.
    bool wrapWithheld_ = false;
};

}  // namespace morvanta
