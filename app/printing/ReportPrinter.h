#pragma once

// What the print layout needs of a printer: lines of text one below the other,
// the vertical position, heights, pages and emphasis. The windows print through
// QPrinter, vantor-cli writes PDF, tests record the calls.

#include <string>

namespace vantor {

class ReportPrinter {
public:
    virtual ~ReportPrinter() = default;

    // Prints a line at the current vertical position and moves below it.
    virtual void PrintLine(const std::string& text) = 0;
    // Returns the vertical position of the next line, 0 at the top of a page.
    [[nodiscard]] virtual double CurrentY() const = 0;
    // Returns the height that printing a text takes.
    [[nodiscard]] virtual double TextHeight(const std::string& text) const = 0;
    // Returns the height of the printable part of a page.
    [[nodiscard]] virtual double PageHeight() const = 0;
    // Starts a new page. A page is only made once something is printed on it, so
    // ending the document right after a new page leaves no empty page.
    virtual void NewPage() = 0;
    // Ends the document; throws std::runtime_error when it could not be finished.
    virtual void EndDoc() = 0;
    // Switches the emphasis of the following lines on or off.
    virtual void SetEmphasis(bool on) = 0;
};

}  // namespace vantor
