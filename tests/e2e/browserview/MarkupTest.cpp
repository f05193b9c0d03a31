// The body markup and text that document complete carries, read from real
// documents in the real engine.
#include "BrowserViewHarness.h"

namespace kpw::test {
namespace {

struct MarkupCase {
    const char* Name;
    const char* Body;      // inside <body>
    const char* Expected;  // must appear in the markup
};

class MarkupForm : public BrowserViewTest, public ::testing::WithParamInterface<MarkupCase> {};

TEST_P(MarkupForm, BodyMarkupHasTheLegacySerialisedForm) {
    site.Add("/page",
             std::string("<!DOCTYPE html><html><body>") + GetParam().Body + "</body></html>");
    const std::string markup = Markup(Load("/page"));
    EXPECT_NE(markup.find(GetParam().Expected), std::string::npos) << markup;
}

INSTANTIATE_TEST_SUITE_P(
    RealDocuments, MarkupForm,
    ::testing::Values(
        MarkupCase{"AuthorMarker", R"(<p id="author">by</p>)", "<P id=author>by</P>"},
        MarkupCase{"UserLink", R"(<a href="/user/7">u</a>)", R"(<A href="/user/7">u</A>)"},
        MarkupCase{"StatisticsLink", R"(<a class="nolessthan" href="/user/7">u</a>)",
                   R"(<A class=nolessthan href="/user/7">)"},
        MarkupCase{"BareValueCharacters", R"(<div data-x="a-b_c.9Z">x</div>)",
                   "<DIV data-x=a-b_c.9Z>"},
        MarkupCase{"OtherValuesQuoted", "<i title=\"two words\" lang=\"caf\u00e9\" dir=\"\">x</i>",
                   "<I title=\"two words\" lang=\"caf\u00e9\" dir=\"\">"},
        MarkupCase{"QuoteEscapedInValue", R"(<i title='say "hi" &amp; go'>x</i>)",
                   R"(<I title="say &quot;hi&quot; &amp; go">)"},
        MarkupCase{"NamesAsTheDocumentHoldsThem", R"(<P ID="Mixed">x</P>)", "<P id=Mixed>x</P>"},
        MarkupCase{"VoidElementsWithoutEndTag", R"(<img src="p.jpg"><br><input disabled><b>b</b>)",
                   R"(<IMG src=p.jpg><BR><INPUT disabled=""><B>b</B>)"},
        MarkupCase{"TextEscaped", "<b>1 &lt; 2 &amp;&amp; 3 &gt; 2</b>",
                   "<B>1 &lt; 2 &amp;&amp; 3 &gt; 2</B>"},
        MarkupCase{"ScriptTextAsItStands", R"(<script>var a = 1 < 2 && "x";</script>)",
                   R"(<SCRIPT>var a = 1 < 2 && "x";</SCRIPT>)"}),
    [](const ::testing::TestParamInfo<MarkupCase>& testCase) {
        return std::string(testCase.param.Name);
    });

TEST_F(BrowserViewTest, MarkupIsTheWholeBodyAndPageScriptsCannotAlterIt) {
    site.Add("/page", R"(<html><head><title>t</title></head><body class="photo page">)"
                      R"(<p id="author">by</p><script>
        String.prototype.replace = function () { return 'x'; };
        Array.prototype.join = function () { return 'tampered'; };
        Object.defineProperty(Element.prototype, 'attributes', { get() { return []; } });
        </script></body></html>)");
    const std::string markup = Markup(Load("/page"));
    EXPECT_EQ(markup.rfind(R"(<BODY class="photo page"><P id=author>by</P><SCRIPT>)", 0), 0u)
        << markup;
    EXPECT_TRUE(markup.ends_with("</SCRIPT></BODY>")) << markup;
}

TEST_F(BrowserViewTest, TextIsTheRenderedBodyText) {
    site.Add("/page", R"(<html><body><p>One</p><p>Two &amp; more</p>)"
                      R"(<div style="display:none">hidden</div></body></html>)");
    EXPECT_EQ(Text(Load("/page")), "One\n\nTwo & more");
}

}  // namespace
}  // namespace kpw::test
