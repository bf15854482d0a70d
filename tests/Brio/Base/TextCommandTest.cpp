#include <Brio/Base/TextCommand.h>

#include <gtest/gtest.h>

using namespace Brio;

namespace {
class EchoCommand : public TextCommand {
public:
    EchoCommand() : TextCommand(L"Test", L"Echo", L"[/on] [/off] words...") {}
    bool execute(const TextCommandParameters& p, std::wstring& reply) override {
        reply = p.hasFlag(L"off") ? L"off" : p.hasFlag(L"on") ? L"on" : L"-";
        for (int i = 0; i < p.count(); ++i)
            reply += L"|" + p.parameter(i);
        return true;
    }
};
} // namespace

TEST(TextCommandTest, ParametersSplitIntoFlagsAndIndexedWords) {
    auto p = TextCommandParameters::parse(L"  /ON 1.5 \"two words\" /Off -3 / \"/quoted\"");
    EXPECT_TRUE(p.hasFlag(L"on"));
    EXPECT_TRUE(p.hasFlag(L"OFF")) << "flags ignore case";
    EXPECT_FALSE(p.hasFlag(L"vary"));
    ASSERT_EQ(p.count(), 5);
    EXPECT_EQ(p.parameter(1), L"two words");
    EXPECT_EQ(p.parameter(3), L"/") << "a lone slash is a word";
    EXPECT_EQ(p.parameter(4), L"/quoted") << "quoted words are never flags";
    EXPECT_EQ(p.parameter(9), L"");
    double d = 0;
    EXPECT_TRUE(p.parameterAsDouble(0, d));
    EXPECT_DOUBLE_EQ(d, 1.5);
    int i = 7;
    EXPECT_TRUE(p.parameterAsInt(2, i));
    EXPECT_EQ(i, -3);
    EXPECT_FALSE(p.parameterAsInt(1, i));
    EXPECT_EQ(i, -3) << "unchanged on failure";
    EXPECT_FALSE(p.parameterAsDouble(9, d));
    EXPECT_EQ(TextCommandParameters::parse(L"\"unclosed quote").parameter(0), L"unclosed quote");
}

TEST(TextCommandTest, ConsoleLinesFindRegisteredCommands) {
    std::wstring reply;
    {
        EchoCommand echo;
        EXPECT_EQ(TextCommand::find(L"test", L"ECHO"), &echo);
        EXPECT_TRUE(TextCommand::run(L"Test.Echo /on a b", reply));
        EXPECT_EQ(reply, L"on|a|b");
        EXPECT_TRUE(TextCommand::run(L"test.echo /on /off", reply));
        EXPECT_EQ(reply, L"off");
        EXPECT_FALSE(TextCommand::run(L"Test.Missing", reply));
        EXPECT_EQ(reply, L"Unknown command: Test.Missing");
        EXPECT_FALSE(TextCommand::run(L"Echo", reply));
        EXPECT_FALSE(TextCommand::run(L"   ", reply));
    }
    EXPECT_EQ(TextCommand::find(L"Test", L"Echo"), nullptr) << "unregistered when destroyed";
}
