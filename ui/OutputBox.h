// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <Qsci/qsciscintillabase.h>

#include <cstddef>
#include <string_view>

class QString;

namespace morvanta {

class ScintillaLoader;

// Fills a fresh document for an OutputBox, on any thread, so that a table of many megabytes never
// holds up the user-interface thread. Created by OutputBox::createLoader() on the user-interface
// thread, filled elsewhere, handed back to OutputBox::adopt(). A loader dropped unadopted frees its
// document.
class DocumentLoader {
public:
    DocumentLoader() = default;
    DocumentLoader(DocumentLoader&& other) noexcept;
    DocumentLoader& operator=(DocumentLoader&& other) noexcept;
    DocumentLoader(const DocumentLoader&) = delete;
    DocumentLoader& operator=(const DocumentLoader&) = delete;
    ~DocumentLoader();

    // Adds text to the end; false when the memory for it could not be had.
    bool append(std::string_view bytes);
    // Ends the loading; the document is then ready for adopt().
    void finish();

    bool isFinished() const { return document_ != nullptr; }
    // The longest line so far in bytes, its CR LF not counted.
    std::size_t longestLine() const { return longestLine_; }

private:
    friend class OutputBox;
    explicit DocumentLoader(ScintillaLoader* loader) : loader_(loader) {}
    void measure(std::string_view bytes);
    void release();

    ScintillaLoader* loader_ = nullptr;
    void* document_ = nullptr;
    std::size_t longestLine_ = 0;
    std::size_t currentLine_ = 0;
};

// The output box of the main window: an editable plain text box in a fixed-pitch font with a
// vertical scroll bar only. Line breaks are CR LF in and out: Enter types CR LF, pasted text is
// converted, and bytes() gives back exactly what was set, so a table read back is the table.
// Tab and Shift+Tab move the focus instead of inserting a tab.
//
// Long lines wrap at the box's width. Wrapping costs time on every line, so it is switched on only
// once some line is wider than the box and the text has at most kMaxWrappedLines lines: a Build
// All survey and typed long lines wrap, a table of millions of short lines loads unwrapped.
class OutputBox : public QsciScintillaBase {
    Q_OBJECT

public:
    static constexpr int kMaxWrappedLines = 100'000;

    explicit OutputBox(QWidget* parent = nullptr);

    // Replaces the whole text; caret at the start, view at the top.
    void clear();
    void setText(std::string_view bytes);

    DocumentLoader createLoader();
    // Shows a finished loader's document in place of the current text, as setText would.
    void adopt(DocumentLoader& loader);

    // The whole text as stored: UTF-8 with CR LF line breaks. Valid until the text next changes.
    std::string_view bytes();
    QString text();

    bool isWrapping();

protected:
    bool focusNextPrevChild(bool next) override;

private:
    void applyDocumentSettings();
    void showFromTop(std::size_t longestLine);
    void wrapIfWiderThanBox(int position, int modificationType, int length);
    int columnsShown();
    void setWrapping(bool on);
};

}  // namespace morvanta
