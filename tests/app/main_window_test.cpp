#include <gtest/gtest.h>

#include <string>

#include "app/burner_dlg.h"
#include "app/help_text.h"
#include "support/session.h"

namespace orlax::app {
namespace {

using testing::Click;
using testing::Leave;
using testing::Session;
using testing::Type;

emulator::Scenario WithQueues(std::vector<std::string> queues) {
    emulator::Scenario scenario = emulator::DefaultScenario();
    scenario.queues = std::move(queues);
    return scenario;
}

// Lists the selector through the host, as orlaxctl's list-queues does.
headless::ScriptAction ListQueues() {
    return {headless::ScriptAction::Kind::ListItems, control::kQueueSelector, {}, "list-queues"};
}

TEST(MainWindow, HelpTextIsTheFirstContent) {
    EXPECT_EQ(HelpText().size(), 592u);
    Session session;
    EXPECT_EQ(session.Run({}), HelpText());
    EXPECT_TRUE(HelpText().ends_with("<CLEAR SPITS> Clears Spit Counters for PEN's."));
}

TEST(MainWindow, QueueListBehindTheFixedEntry) {
    struct Case {
        std::vector<std::string> queues;
        std::string listed;
        std::string boxes;
    };
    const std::string errorBox = "KIVOLAN: Error enumerating Printers. Check if any are installed.\n";
    const Case cases[] = {
        {{}, "Lumetra PRO\n", errorBox},
        {{"A", "B"}, "Lumetra PRO\nA\nB\n", ""},
        {{"Lumetra PRO"}, "Lumetra PRO\nLumetra PRO\n", ""},
        {{"Zeta", "Alpha"}, "Lumetra PRO\nZeta\nAlpha\n", ""},  // never sorted
    };
    for (const auto& c : cases) {
        Session session(WithQueues(c.queues));
        session.Run({ListQueues()});
        EXPECT_EQ(session.listOut.str(), c.listed);
        EXPECT_EQ(session.messageOut.str(), c.boxes);
        EXPECT_EQ(session.app.PrinterName(), "Lumetra PRO");
    }
}

TEST(MainWindow, EveryQueueIsListedEvenPast255) {
    std::vector<std::string> queues;
    for (int i = 0; i < 300; ++i) queues.push_back("Q" + std::to_string(i));
    Session session(WithQueues(queues));
    session.Run({ListQueues()});
    EXPECT_TRUE(session.listOut.str().ends_with("\nQ299\n"));
}

TEST(MainWindow, LeavingTheSelectorTakesItsTextAsPrinterName) {
    struct Case {
        const char* what;
        headless::Script script;
        std::string printerName;
        std::string log;
    };
    const std::string longName(300, 'q');
    const Case cases[] = {
        {"typed then a button: the name is taken before the operation",
         {Type(control::kQueueSelector, "Shop Floor 3"), Click(control::kGetStatus)},
         "Shop Floor 3",
         "Getting Printer Status !!\r\nPrinter Open Error !!\r\nNo status returned !!\r\n"},
        {"left without a change: the line again",
         {Leave(control::kQueueSelector)},
         "Lumetra PRO",
         "New Printer Name Selected:  Lumetra PRO\r\n"},
        {"empty text gives an empty name", {Type(control::kQueueSelector, ""), Leave(control::kQueueSelector)},
         "", "New Printer Name Selected:  \r\n"},
        {"a long name is kept whole", {Type(control::kQueueSelector, longName), Leave(control::kQueueSelector)},
         longName, "New Printer Name Selected:  " + longName + "\r\n"},
    };
    for (const auto& c : cases) {
        Session session;
        const std::string log = session.Run(c.script);
        EXPECT_EQ(session.app.PrinterName(), c.printerName) << c.what;
        EXPECT_EQ(log, c.log) << c.what;
    }
}

TEST(MainWindow, TypedQueueNameOpensThatQueue) {
    const std::string longName = "A queue whose name is well over thirty-nine characters long";
    Session session(WithQueues({longName}));
    const std::string log =
        session.Run({Type(control::kQueueSelector, longName), Leave(control::kQueueSelector),
                     Click(control::kGetStatus)});
    EXPECT_NE(log.find("ORLAX PRO FIRMWARE VERSION"), std::string::npos) << log;
}

TEST(MainWindow, AboutEntryShowsNothing) {
    Session session;
    headless::HeadlessHost& host = session.host;
    CBurnerDlg dialog(session.app);
    host.SetOnFirstWindowReady([&] {
        ASSERT_EQ(host.Topmost()->SystemMenu().size(), 1u);
        EXPECT_EQ(host.Topmost()->SystemMenu()[0].second, "&About ventrix...");
        dialog.OnSysCommand(kIdmAboutBox);
    });
    dialog.DoModal();
    EXPECT_EQ(session.app.Log().LogText(), HelpText());
    EXPECT_TRUE(session.messageOut.str().empty());
}

}  // namespace
}  // namespace orlax::app
