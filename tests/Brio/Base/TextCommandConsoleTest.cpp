#include <Brio/Base/TextCommand.h>
#include <Brio/Base/TextCommandConsole.h>

#include <gtest/gtest.h>

#include <sstream>

using namespace Brio;

namespace {
/// Counts its runs; fails on the flag "/fail".
class CountCommand : public TextCommand {
public:
    CountCommand(const wchar_t* area, const wchar_t* name) : TextCommand(area, name, L"[/fail] Count the runs") {}
    bool execute(const TextCommandParameters& p, std::wstring& reply) override {
        ++runs;
        if (p.hasFlag(L"fail")) {
            reply = L"failed as asked";
            return false;
        }
        reply = L"run " + std::to_wstring(runs) + (p.count() ? L" " + p.parameter(0) : L"");
        return true;
    }
    int runs = 0;
};

/// Answers nothing.
class SilentCommand : public TextCommand {
public:
    SilentCommand() : TextCommand(L"ConsoleTest", L"Silent", L"Says nothing") {}
    bool execute(const TextCommandParameters&, std::wstring&) override { return true; }
};
} // namespace

TEST(TextCommandConsoleTest, RunsEachLineAndPrintsItsReply) {
    CountCommand count(L"ConsoleTest", L"Count");
    SilentCommand silent;
    std::istringstream in("ConsoleTest.Count first\n"
                          "\n"
                          "   # a comment\n"
                          "consoletest.count \"two words\"\r\n"
                          "ConsoleTest.Silent\n"
                          "ConsoleTest.Count /fail\n"
                          "ConsoleTest.Missing\n"
                          "NoDot\n"
                          "ConsoleTest.Count K\xc3\xbchler\n");
    std::ostringstream out;
    TextCommandConsole console(in, out);
    EXPECT_EQ(console.run(), 3);
    EXPECT_EQ(out.str(), "run 1 first\n"
                         "run 2 two words\n"
                         "Error: failed as asked\n"
                         "Error: Unknown command: ConsoleTest.Missing\n"
                         "Error: Commands are written Area.Name: NoDot\n"
                         "run 4 K\xc3\xbchler\n");
    EXPECT_EQ(count.runs, 4);
    EXPECT_FALSE(console.finished()) << "the input simply ended";
}

TEST(TextCommandConsoleTest, ExitStopsReadingAndThePromptIsShown) {
    CountCommand count(L"ConsoleTest", L"Count");
    std::istringstream in("ConsoleTest.Count\nQUIT\nConsoleTest.Count\n");
    std::ostringstream out;
    TextCommandConsole console(in, out);
    console.prompt("> ");
    EXPECT_EQ(console.run(), 0);
    EXPECT_TRUE(console.finished());
    EXPECT_EQ(count.runs, 1) << "nothing after the exit";
    EXPECT_EQ(out.str(), "> run 1\n> ");
    std::string rest;
    std::getline(in, rest);
    EXPECT_EQ(rest, "ConsoleTest.Count") << "the line after the exit is left unread";
}

TEST(TextCommandConsoleTest, HelpListsCommandsSortedByAreaAndName) {
    CountCommand b(L"HelpTestB", L"zeta"), a1(L"HelpTestA", L"Beta"), a2(L"helptesta", L"alpha");
    EXPECT_EQ(TextCommand::helpListing(L"HELPTESTA"),
              L"helptesta.alpha: [/fail] Count the runs\nHelpTestA.Beta: [/fail] Count the runs\n");
    EXPECT_EQ(TextCommand::helpListing(L"NoSuchArea"), L"");
    const std::wstring all = TextCommand::helpListing();
    EXPECT_LT(all.find(L"HelpTestA.Beta"), all.find(L"HelpTestB.zeta"));

    std::istringstream in("help HelpTestB\nhelp HelpTestA.beta\nhelp NoSuch.Command\nhelp NoSuchArea\nhelp\n");
    std::ostringstream out;
    TextCommandConsole console(in, out);
    EXPECT_EQ(console.run(), 2);
    const std::string text = out.str();
    EXPECT_EQ(text.find("HelpTestB.zeta: [/fail] Count the runs\n"
                        "HelpTestA.Beta: [/fail] Count the runs\n"
                        "Error: Unknown command: NoSuch.Command\n"
                        "Error: No commands in the area NoSuchArea\n"),
              0u)
        << text;
    EXPECT_NE(text.find("helptesta.alpha", 100), std::string::npos) << "the full listing at the end";
    EXPECT_EQ(b.runs + a1.runs + a2.runs, 0) << "help runs nothing";
}
