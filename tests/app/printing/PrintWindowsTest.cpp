// Print and Print Preview of the main window on its child windows.

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "../documents/ConsistTestSupport.h"
#include "FakeReportPrinter.h"
#include "ShellFixture.h"
#include "printing/PainterPrinter.h"
#include "validation/CheckCommands.h"

namespace {

using testing_support::FakeReportPrinter;
using vantor::DocumentMode;
using Pages = std::vector<std::vector<std::string>>;

class PrintWindows : public testing_support::ShellTest {
protected:
    // Starts the main window on an installation of these consists. Print records
    // on a new printer with pages 60 high and rows 10 high, or fails with m_failure.
    std::unique_ptr<vantor::MainWindow> StartPrinting(std::initializer_list<const char*> consists) {
        m_install = MakeInstallation("Inst", consists);
        m_settings.Write("MSTSDir", m_install);
        auto window = Start();
        window->SetPrinterFactory([this](const vantor::PrintRequest&) {
            if (!m_failure.empty()) {
                throw std::runtime_error(m_failure);
            }
            auto printer = std::make_unique<FakeReportPrinter>(60, 10);
            m_printed.push_back(printer->Record());
            return printer;
        });
        return window;
    }

    std::string m_install;
    std::string m_failure;
    std::vector<std::shared_ptr<testing_support::PrintRecord>> m_printed;
};

TEST_F(PrintWindows, NoWindowNoDialogPreviewSaysSoCancelAndFailurePrintNothing) {
    auto window = StartPrinting({"A"});
    window->Area()->closeAllSubWindows();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_EQ(window->ActiveChild(), nullptr);
    Trigger(*window, "mnuFilePrint");
    Trigger(*window, "mnuFilePrintPreview");

    window->NewDocumentByMode(DocumentMode::ConsistList, "");
    m_prompts
        .ExpectMessage(vantor::MessageIcon::Information, "Print Preview",
                       "Print Preview not implemented")
        .ExpectPrint("Print Consist List", false)
        .ExpectPrint("Print Consist List", true)
        .ExpectMessage(vantor::MessageIcon::Critical, "Print", "Cannot print to out.pdf.");
    Trigger(*window, "mnuFilePrintPreview");
    window->ToolbarClick("Print");
    m_failure = "Cannot print to out.pdf.";
    window->ToolbarClick("Print");
    EXPECT_TRUE(m_printed.empty());
    EXPECT_EQ(m_prompts.LastPrintRequest().maxPage, 0) << "no page range";
}

TEST_F(PrintWindows, EachWindowPrintsItsCaptionAndLinesOverPages) {
    auto window = StartPrinting({"A", "B", "C", "D", "E"});
    m_prompts.ExpectPrint("Print Consist List", true);
    window->ToolbarClick("Print");

    const std::string file = m_install + "/Trains/Consists/Coal.con";
    testing_support::MakeFile(
        file, consist_test::ConsistBytes(consist_test::Consist(
                  "Coal", "",
                  consist_test::Vehicle("Engine", 0, "DD40", "Demo") + "\r\n" +
                      consist_test::Vehicle("Wagon", 1, "Hopper", "Hopper", true))));
    window->NewDocumentWindow(file, DocumentMode::Consist, "Consist - Coal", nullptr);
    m_prompts.ExpectPrint("Print Consist", true);
    Trigger(*window, "mnuFilePrint");

    // A results report longer than a page breaks like the lists.
    window->ShowResults(
        vantor::Report{vantor::UsageCheckCaption("DD40"),
                       "Check Time  : now\r\n\r\nERROR: 1\r\nINFO: 2\r\nINFO: 3\r\n"});
    m_prompts.ExpectPrint("Print Results", true);
    Trigger(*window, "mnuFilePrint");

    ASSERT_EQ(m_printed.size(), 3U);
    EXPECT_EQ(m_printed[0]->pages, (Pages{{"[Consist List 1]", "", "A", "B", "C", "D"}, {"E"}}));
    EXPECT_EQ(m_printed[1]->pages,
              (Pages{{"[Consist - Coal]", "", "Engine Demo", "Wagon* Hopper"}}));
    EXPECT_EQ(m_printed[2]->pages,
              (Pages{{"[Usage check of DD40]", "", "Check Time  : now", "", "ERROR: 1", "INFO: 2"},
                     {"INFO: 3"}}));
}

TEST_F(PrintWindows, ThreeDWindowsShowTheDialogAndPrintNothing) {
    auto window = StartPrinting({"A"});
    // The test's consists hold nothing to draw: the window says so and stays.
    m_prompts.ExpectMessage(vantor::MessageIcon::Critical, "Render Consist",
                            "No consist to display", vantor::Answer::Ok);
    window->NewDocumentWindow(m_install + "/Trains/Consists/A.con", DocumentMode::Consist3D,
                              "Consist - A", nullptr);
    m_prompts.ExpectPrint("Print Consist View", true);
    Trigger(*window, "mnuFilePrint");
    window->NewDocumentWindow(m_install + "/x.s", DocumentMode::Shape3D, "Engine - x", nullptr);
    m_prompts.ExpectPrint("Print Stock View", true);
    Trigger(*window, "mnuFilePrint");
    EXPECT_TRUE(m_printed.empty());
}

TEST_F(PrintWindows, ThePrinterOfTheDialogPrintsToTheFileChosen) {
    vantor::PrintRequest request;
    request.outputFile = m_folder.File("printed.pdf");
    request.pageWidthMm = 210;
    request.pageHeightMm = 297;
    vantor::PrintReport(*vantor::OpenSystemPrinter(request), "Consist List 1", {"A", "B"});
    EXPECT_EQ(testing_support::ReadBytes(request.outputFile).substr(0, 5), "%PDF-");

    request.outputFile = m_folder.File("missing/printed.pdf");
    EXPECT_THROW(vantor::OpenSystemPrinter(request), std::runtime_error);
}

}  // namespace
