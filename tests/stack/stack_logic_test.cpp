#include <gtest/gtest.h>

#include "cards/card_collection.h"
#include "stack/body_text.h"
#include "stack/format_target.h"
#include "stack/links.h"

namespace tessel {
namespace {

std::vector<std::u16string> Links(std::u16string_view text) {
  std::vector<std::u16string> out;
  for (const LinkSpan& s : FindLinks(text)) out.emplace_back(text.substr(s.start, s.length));
  return out;
}

TEST(Links, FindsWebAndMailAddressesWithoutSurroundingPunctuation) {
  EXPECT_EQ(Links(u"see http://a.org/x?y=1, or (www.b.com). Mail me@c.org!"),
            (std::vector<std::u16string>{u"http://a.org/x?y=1", u"www.b.com", u"me@c.org"}));
  EXPECT_EQ(Links(u"HTTPS://A.ORG ftp://f.net mailto:x@y.z"),
            (std::vector<std::u16string>{u"HTTPS://A.ORG", u"ftp://f.net", u"mailto:x@y.z"}));
  // Nothing that merely looks similar.
  EXPECT_TRUE(Links(u"http:// www. a@b @c.d e@.f file:///etc/passwd javascript:x 3.5").empty());
}

TEST(Links, TargetsOpenOnlyWebFtpAndMail) {
  EXPECT_EQ(LinkTarget(u"www.b.com"), u"http://www.b.com");
  EXPECT_EQ(LinkTarget(u"me@c.org"), u"mailto:me@c.org");
  EXPECT_EQ(LinkTarget(u"https://a.org"), u"https://a.org");
  EXPECT_EQ(LinkTarget(u"file:///bin/sh"), u"");
  EXPECT_EQ(LinkTarget(u"/usr/bin/xterm"), u"");
}

TEST(BodyText, LineBreaksRoundTripAndNormalise) {
  EXPECT_EQ(BodyForEditor("a\r\nb\rc\nd\r\n"), "a\nb\nc\nd\n");
  EXPECT_EQ(BodyFromEditor("a\nb\n"), "a\r\nb\r\n");
  const std::string stored = "one\r\ntwo\r\n\r\nthree";
  EXPECT_EQ(BodyFromEditor(BodyForEditor(stored)), stored);
}

TEST(BodyText, EditorPositionsFindTheirBytesInTheStoredBody) {
  // Editor positions: a=0, CR LF=1, b=2, lone CR=3, c=4, LF=5, d=6; 7 is the end.
  const std::string stored = "a\r\nb\rc\nd";
  EXPECT_EQ(EditorLength(stored), BodyForEditor(stored).size());
  using Bytes = std::pair<std::size_t, std::size_t>;
  auto bytes = [&](std::size_t position, std::size_t count) -> std::optional<Bytes> {
    const std::optional<ByteRange> r = BodyBytes(stored, position, count);
    if (!r) return std::nullopt;
    return Bytes{r->start, r->end};
  };
  EXPECT_EQ(bytes(2, 0), Bytes(3, 3));
  EXPECT_EQ(bytes(1, 3), Bytes(1, 5));  // CR LF, b and the lone CR
  EXPECT_EQ(bytes(5, 2), Bytes(6, 8));
  EXPECT_EQ(bytes(7, 0), Bytes(8, 8));
  EXPECT_EQ(bytes(8, 0), std::nullopt);
  EXPECT_EQ(bytes(6, 2), std::nullopt);
}

TEST(FormatTarget, ChoicesGoToTheFocusedControlOnly) {
  FormatSettings format;
  FormatTarget target;
  EXPECT_EQ(TargetFace(format, target), "");
  EXPECT_EQ(TargetSize(format, target), 10);
  EXPECT_EQ(SetTargetSize(format, target, false, 14), FormatControl::None);
  EXPECT_EQ(format, FormatSettings{});

  target.Set(FormatControl::Index);
  EXPECT_EQ(SetTargetSize(format, target, false, 14), FormatControl::Index);
  EXPECT_EQ(SetTargetColour(format, target, false, ColourRole::Background, 0xFF), FormatControl::Index);
  EXPECT_EQ(format.indexSize, 14);
  EXPECT_EQ(format.indexBackground, 0xFFu);
  EXPECT_EQ(format.bodySize, 10);
  EXPECT_EQ(TargetFace(format, target), "Arial Black");

  target.Set(FormatControl::Body);
  EXPECT_FALSE(target.indexFocused);
  EXPECT_EQ(SetTargetFace(format, target, false, "Courier New"), FormatControl::Body);
  EXPECT_EQ(SetTargetColour(format, target, false, ColourRole::Text, 0xFF), FormatControl::Body);
  EXPECT_EQ(format.bodyFace, "Courier New");
  EXPECT_EQ(format.bodyText, 0xFFu);
  EXPECT_EQ(format.indexFace, "Arial Black");
  EXPECT_EQ(TargetSize(format, target), 10);

  // An empty stack takes no choice.
  const FormatSettings before = format;
  EXPECT_EQ(SetTargetFace(format, target, true, "X"), FormatControl::None);
  EXPECT_EQ(SetTargetColour(format, target, true, ColourRole::Text, 1), FormatControl::None);
  EXPECT_EQ(format, before);
}

TEST(StoreFrontEdits, CopiesIntoTheFrontRecordOnly) {
  CardCollection c;
  c.StoreFrontEdits(FrontField::Body, "ignored");  // no cards: nothing happens
  c.AppendCards({CardInfo("b"), CardInfo("a")});
  c.StoreFrontEdits(FrontField::Index, "z");
  c.StoreFrontEdits(FrontField::Body, "text\r\n");
  EXPECT_EQ(c.At(0).index, "z");
  EXPECT_EQ(c.At(0).body, "text\r\n");
  c.StoreFrontEdits(FrontField::Body, 2, 2, "ll");
  c.StoreFrontEdits(FrontField::Body, 7, 0, "outside");
  EXPECT_EQ(c.At(0).body, "tell\r\n");
  EXPECT_EQ(c.At(1).index, "a");
  EXPECT_TRUE(c.Modified());  // a rename and a new body are changes a save keeps
}

}  // namespace
}  // namespace tessel
