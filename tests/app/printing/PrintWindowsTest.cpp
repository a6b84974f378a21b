// Print and Print Preview of the main window on its child windows.

#include <gtest/gtest.h>

#include <QAction>
#include <memory>
#include <string>
#include <vector>

#include "../documents/ConsistTestSupport.h"
#include "FakeReportPrinter.h"
#include "ShellFixture.h"
#include "validation/CheckCommands.h"

namespace {

using testing_support::FakeReportPrinter;
using vantor::DocumentMode;
using vantor::MessageIcon;
using Pages = std::vector<std::vector<std::string>>;

class PrintWindows : public testing_support::ShellTest {
protected:
    // Starts the main window on an installation of these consists; Print records
    // on a printer of a page 60 high with rows 10 high.
    std::unique_ptr<vantor::MainWindow> StartPrinting(std::initializer_list<const char*> consists) {
        m_install = MakeInstallation("Inst", consists);
        m_settings.Write("MSTSDir", m_install);
        auto window = Start();
        window->SetPrinterFactory([this](const vantor::PrintRequest&) {
            ++m_opened;
            m_printers.push_back(std::make_shared<FakeReportPrinter>(60, 10));
            return std::make_unique<Recorder>(*m_printers.back());
        });
        return window;
    }

    // The printer the command gets; it records on one the test keeps.
    class Recorder : public vantor::ReportPrinter {
    public:
        explicit Recorder(FakeReportPrinter& to) : m_to(to) {}
        void PrintLine(const std::string& text) override { m_to.PrintLine(text); }
        [[nodiscard]] double CurrentY() const override { return m_to.CurrentY(); }
        [[nodiscard]] double TextHeight(const std::string& t) const override {
            return m_to.TextHeight(t);
        }
        [[nodiscard]] double PageHeight() const override { return m_to.PageHeight(); }
        void NewPage() override { m_to.NewPage(); }
        void EndDoc() override { m_to.EndDoc(); }
        void SetEmphasis(bool on) override { m_to.SetEmphasis(on); }

    private:
        FakeReportPrinter& m_to;
    };

    std::string m_install;
    int m_opened = 0;
    std::vector<std::shared_ptr<FakeReportPrinter>> m_printers;
};

TEST_F(PrintWindows, NoWindowNoDialogThenPreviewSaysSoAndCancelPrintsNothing) {
    auto window = StartPrinting({"A"});
    window->Area()->closeAllSubWindows();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_EQ(window->ActiveChild(), nullptr);
    Trigger(*window, "mnuFilePrint");
    Trigger(*window, "mnuFilePrintPreview");
    window->ToolbarClick("Print");

    window->NewDocumentByMode(DocumentMode::ConsistList, "");
    m_prompts.ExpectMessage(MessageIcon::Information, "Print Preview",
                            "Print Preview not implemented");
    Trigger(*window, "mnuFilePrintPreview");
    m_prompts.ExpectPrint("Print Consist List", false);
    window->ToolbarClick("Print");
    EXPECT_EQ(m_opened, 0);
    EXPECT_TRUE(m_prompts.Done());
}

TEST_F(PrintWindows, AConsistListPrintsItsCaptionAndRowsOverPages) {
    auto window = StartPrinting({"A", "B", "C", "D", "E"});
    m_prompts.ExpectPrint("Print Consist List", true);
    window->ToolbarClick("Print");

    ASSERT_EQ(m_printers.size(), 1U);
    const Pages expected = {{"[Consist List 1]", "", "A", "B", "C", "D"}, {"E"}};
    EXPECT_EQ(m_printers[0]->Pages(), expected);
}

TEST_F(PrintWindows, AConsistWindowPrintsEachVehicleWithItsFolder) {
    auto window = StartPrinting({});
    const std::string file = m_install + "/Trains/Consists/Coal.con";
    testing_support::MakeFile(
        file, consist_test::ConsistBytes(consist_test::Consist(
                  "Coal", "",
                  consist_test::Vehicle("Engine", 0, "DD40", "Demo", false) + "\r\n" +
                      consist_test::Vehicle("Wagon", 1, "Hopper", "Hopper", true))));
    window->NewDocumentWindow(file, DocumentMode::Consist, "Consist - Coal", nullptr);
    m_prompts.ExpectPrint("Print Consist", true);
    Trigger(*window, "mnuFilePrint");

    ASSERT_EQ(m_printers.size(), 1U);
    const Pages expected = {{"[Consist - Coal]", "", "Engine Demo", "Wagon* Hopper"}};
    EXPECT_EQ(m_printers[0]->Pages(), expected);
}

TEST_F(PrintWindows, AResultsWindowPrintsItsWholeReportUnderItsCaption) {
    auto window = StartPrinting({});
    window->ShowResults(vantor::Report{vantor::UsageCheckCaption("DD40"),
                                       "Check Time  : now\r\n\r\nERROR: one\r\nINFO: two\r\n"});
    m_prompts.ExpectPrint("Print Results", true);
    Trigger(*window, "mnuFilePrint");

    ASSERT_EQ(m_printers.size(), 1U);
    const Pages expected = {
        {"[Usage check of DD40]", "", "Check Time  : now", "", "ERROR: one", "INFO: two"}};
    EXPECT_EQ(m_printers[0]->Pages(), expected);
}

TEST_F(PrintWindows, ThreeDWindowsShowTheDialogAndPrintNothing) {
    auto window = StartPrinting({"A"});
    window->NewDocumentWindow(m_install + "/Trains/Consists/A.con", DocumentMode::Consist3D,
                              "Consist - A", nullptr);
    m_prompts.ExpectPrint("Print Consist View", true);
    Trigger(*window, "mnuFilePrint");
    window->NewDocumentWindow(m_install + "/x.s", DocumentMode::Shape3D, "Engine - x", nullptr);
    m_prompts.ExpectPrint("Print Stock View", true);
    Trigger(*window, "mnuFilePrint");
    EXPECT_EQ(m_opened, 0);
}

}  // namespace
