#include <Brio/Base/XMLDocument.h>

#include "ScratchDirectory.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace Brio;
using BrioTest::ScratchDirectory;

namespace {

std::string Utf8(const std::wstring& w) {
    return XMLString(w).utf8();
}

/// Every element, attribute and text below a and b are the same, in the same order.
void ExpectSameTree(XMLNode a, XMLNode b) {
    ASSERT_EQ(a.valid(), b.valid());
    if (!a)
        return;
    EXPECT_EQ(a.name(), b.name());
    EXPECT_EQ(a.text(), b.text());
    std::vector<XMLAttribute> aa = a.attributes(), ba = b.attributes();
    ASSERT_EQ(aa.size(), ba.size()) << a.name().utf8();
    for (std::size_t i = 0; i < aa.size(); ++i) {
        EXPECT_EQ(aa[i].name(), ba[i].name());
        EXPECT_EQ(aa[i].value(), ba[i].value());
    }
    std::vector<XMLNode> ac = a.children(), bc = b.children();
    ASSERT_EQ(ac.size(), bc.size()) << a.name().utf8();
    for (std::size_t i = 0; i < ac.size(); ++i)
        ExpectSameTree(ac[i], bc[i]);
}

} // namespace

TEST(XMLDocumentTest, SavedDocumentReadsBackTheSame) {
    ScratchDirectory dir;
    XMLDocument doc;
    XMLNode root = doc.createNode(L"Scene");
    ASSERT_TRUE(root);
    EXPECT_EQ(doc.root(), root);
    XMLNode group = doc.createNode("GroupNode", root);
    group.setAttribute("Qualifier", 42);
    group.setAttribute("Big", std::numeric_limits<unsigned long long>::max());
    group.setAttribute("Negative", -7);
    group.setAttribute("Opacity", 0.1f);
    group.setAttribute("Scale", 1.0 / 3.0);
    group.setAttribute("Visible", true);
    group.setAttribute(L"Name", std::wstring(L"Kühler \"5\" <&> 'ü' \u6C34"));
    group.setAttribute("Qualifier", 43); // an existing attribute is replaced in place
    XMLNode text = root.appendChild("Note");
    text.text(L"line one\nline two & more");
    root.appendChild("Empty");

    const auto file = dir / "scene.xml";
    ASSERT_TRUE(doc.save(file).isSuccess());
    EXPECT_FALSE(std::filesystem::exists(dir / "scene.xml.tmp")) << "the temporary file is gone";

    XMLDocument back;
    ASSERT_TRUE(back.load(file).isSuccess());
    ExpectSameTree(doc.root(), back.root());
    EXPECT_EQ(back.formattedXml(), doc.formattedXml());

    XMLNode g = back.root().child("GroupNode");
    ASSERT_EQ(g.attributeCount(), 7);
    EXPECT_EQ(g.firstAttribute().name(), XMLString("Qualifier")) << "document order kept";
    EXPECT_EQ(g.attribute("Qualifier").asInt(), 43);
    EXPECT_EQ(g.attribute("Big").value(), XMLString("18446744073709551615"));
    EXPECT_EQ(g.attribute("Negative").asInt(), -7);
    EXPECT_EQ(g.attribute("Opacity").value(), XMLString("0.1")) << "floats written in their shortest form";
    EXPECT_EQ(g.attribute("Opacity").asFloat(), 0.1f);
    EXPECT_EQ(g.attribute("Scale").asDouble(), 1.0 / 3.0) << "doubles read back exactly";
    EXPECT_EQ(g.attribute("Visible").asStr(), L"true");
    EXPECT_EQ(g.attribute("Name").asStr(), L"Kühler \"5\" <&> 'ü' \u6C34");
    EXPECT_EQ(back.root().child("Note").text(), L"line one\nline two & more");
    EXPECT_EQ(back.root().childCount(), 3);
}

TEST(XMLDocumentTest, AttributeReadsFallBackOnMissingOrMalformedNumbers) {
    XMLDocument doc;
    ASSERT_TRUE(
        doc.loadFromText(R"(<r a=" 7 " hex="0x1F" frac="2.5" word="12abc" huge="99999999999" e="1e3" empty=""/>)")
            .isSuccess());
    XMLNode r = doc.root();
    EXPECT_EQ(r.attribute("a").asInt(), 7) << "white space around a number is allowed";
    EXPECT_EQ(r.attribute("hex").asInt(), 31);
    EXPECT_EQ(r.attribute("frac").asInt(-1), -1) << "a fraction is not an integer";
    EXPECT_DOUBLE_EQ(r.attribute("frac").asDouble(), 2.5);
    EXPECT_EQ(r.attribute("word").asInt(-1), -1) << "trailing text is not ignored";
    EXPECT_EQ(r.attribute("word").asFloat(-1.0f), -1.0f);
    EXPECT_EQ(r.attribute("huge").asInt(-1), -1) << "does not fit an int";
    EXPECT_DOUBLE_EQ(r.attribute("huge").asDouble(), 99999999999.0);
    EXPECT_EQ(r.attribute("e").asFloat(), 1000.0f);
    EXPECT_EQ(r.attribute("empty").asInt(5), 5);
    EXPECT_EQ(r.attribute("empty").asStr(L"x"), L"") << "present but empty is not missing";
    XMLAttribute missing = r.attribute("missing");
    EXPECT_FALSE(missing);
    EXPECT_EQ(missing.asStr(L"fallback"), L"fallback");
    EXPECT_EQ(missing.asDouble(1.5), 1.5);
    EXPECT_FALSE(XMLNode().attribute("a")) << "a null element answers nothing";
}

TEST(XMLDocumentTest, ChildrenAreElementsOnlyAndEditsKeepTheTreeSound) {
    XMLDocument doc;
    ASSERT_TRUE(doc.loadFromText("<r>text<!-- note --><a/>more<b/><a/></r>").isSuccess());
    XMLNode r = doc.root();
    EXPECT_EQ(r.childCount(), 3);
    EXPECT_EQ(r.firstChild().name(), XMLString("a"));
    EXPECT_EQ(r.firstChild().nextSibling().name(), XMLString("b"));
    EXPECT_EQ(r.firstChild().parent(), r);
    EXPECT_FALSE(r.parent()) << "the root has no parent element";

    EXPECT_FALSE(r.appendChild("")) << "empty name";
    EXPECT_FALSE(r.appendChild("1st")) << "a name cannot start with a digit";
    EXPECT_FALSE(r.appendChild("two words"));
    EXPECT_FALSE(r.setAttribute("bad name", "v"));
    EXPECT_FALSE(doc.createNode("<x>"));
    EXPECT_EQ(r.childCount(), 3);

    XMLNode b = r.child("b");
    XMLNode inner = b.appendChild("inner");
    EXPECT_FALSE(r.removeChild(inner)) << "only a child of this element";
    EXPECT_TRUE(r.removeChild(b));
    EXPECT_EQ(r.childCount(), 2);
    EXPECT_TRUE(r.setAttribute("k", "v"));
    EXPECT_TRUE(r.removeAttribute("k"));
    EXPECT_FALSE(r.removeAttribute("k"));

    XMLNode replaced = doc.createNode("Other");
    EXPECT_EQ(doc.root(), replaced) << "a node without parent replaces the root";
    EXPECT_EQ(doc.root().childCount(), 0);
}

TEST(XMLDocumentTest, MalformedFilesAreClearErrorsAndLeaveTheDocumentAlone) {
    ScratchDirectory dir;
    XMLDocument doc;
    ASSERT_TRUE(doc.loadFromText("<Kept><child/></Kept>").isSuccess());

    struct Case {
        const char* name;
        std::string text;
        const wchar_t* expect; // part of the message
    };
    const Case cases[] = {
        {"unclosed.xml", "<a>\n  <b>\n</a>", L"line 3"},
        {"garbage.xml", "not xml at all", L"garbage.xml"},
        {"empty.xml", "", L"empty.xml"},
        {"declaration.xml", "<?xml version=\"1.0\"?>\n", L"declaration.xml"},
        {"attribute.xml", "<a b=\"1></a>", L"attribute.xml"},
        {"twoRoots.xml", "<a/><b/>", L"twoRoots.xml"},
        {"truncated.xml", "<a><b c=\"1\"/", L"Malformed XML"},
        {"binary.xml", std::string("\0\x01\xff\xfe<", 5), L"binary.xml"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Status s = doc.load(dir.write(c.name, c.text));
        EXPECT_TRUE(s.failed());
        EXPECT_NE(s.message().find(c.expect), std::wstring::npos) << Utf8(s.message());
        EXPECT_EQ(doc.root().name(), XMLString("Kept")) << "a failed load changes nothing";
        EXPECT_EQ(doc.root().childCount(), 1);
    }

    Status missing = doc.load(dir / "missing.xml");
    EXPECT_TRUE(missing.failed());
    EXPECT_NE(missing.message().find(L"missing.xml"), std::wstring::npos);
    EXPECT_TRUE(doc.load(dir.path()).failed()) << "a folder is not a file";
    EXPECT_EQ(doc.root().name(), XMLString("Kept"));
}

TEST(XMLDocumentTest, SavingWhereNoFileCanBeWrittenIsAnErrorAndKeepsTheOldFile) {
    ScratchDirectory dir;
    XMLDocument doc;
    doc.createNode("r");
    Status s = doc.save(dir / "no/such/folder/out.xml");
    EXPECT_TRUE(s.failed());
    EXPECT_NE(s.message().find(L"out.xml"), std::wstring::npos);

    // A target that cannot be replaced (a folder) keeps what is there.
    std::filesystem::create_directories(dir / "taken.xml");
    EXPECT_TRUE(doc.save(dir / "taken.xml").failed());
    EXPECT_TRUE(std::filesystem::is_directory(dir / "taken.xml"));
    for (const auto& e : std::filesystem::directory_iterator(dir.path()))
        EXPECT_EQ(e.path().filename().string().find(".tmp"), std::string::npos) << "temporary left behind";
}

TEST(XMLDocumentTest, MovedDocumentKeepsItsNodes) {
    XMLDocument a;
    XMLNode root = a.createNode("root");
    root.appendChild("child");
    XMLDocument b(std::move(a));
    EXPECT_EQ(b.root(), root) << "handles stay valid";
    EXPECT_EQ(b.root().childCount(), 1);
    b.clear();
    EXPECT_FALSE(b.root());
}
