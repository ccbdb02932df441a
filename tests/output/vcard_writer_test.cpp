// The vCard export: its bytes, what a real vCard library (Debian's
// python3-vobject) reads from them, what Tessel reads back, and what Tessel
// reads from vCards that library wrote.
#include "output/vcard_writer.h"

#include <gtest/gtest.h>

#include "cards/codepage.h"
#include "cards/vcard_file.h"
#include "support/cli_run.h"
#include "support/test_support.h"

namespace tessel {
namespace {

// Runs a Python script with Debian's interpreter, where python3-vobject is.
std::string Python(const std::string& script, const test::TempDir& dir) {
  const std::string file = dir.File("script.py");
  test::WriteBytes(file, std::vector<uint8_t>(script.begin(), script.end()));
  const test::CliRun run = test::RunShell("/usr/bin/python3 '" + file + "'", dir);
  EXPECT_EQ(run.status, 0) << run.err;
  return run.out;
}

void WriteText(const std::string& path, const std::string& text) {
  test::WriteBytes(path, std::vector<uint8_t>(text.begin(), text.end()));
}

TEST(VcardWriter, WritesEachCardAsVcard30) {
  const std::string bytes = VcardBytes(
      {CardInfo("Smith, John", "Met at a fair; bring cake, \\o/\r\nTel: +1 (555) 123-4567\r\n"
                               "mail john@example.com, see www.example.com",
                1),
       CardInfo("Acme", "", 0)});
  const std::string prodid = "PRODID:-//Tessel//Tessel " TESSEL_VERSION "//EN\r\n";
  EXPECT_EQ(bytes,
            "BEGIN:VCARD\r\nVERSION:3.0\r\n" + prodid +
                "N:Smith;John;;;\r\nFN:Smith\\, John\r\n"
                "NOTE:Met at a fair\\; bring cake\\, \\\\o/\\nTel: +1 (555) 123-4567\\nmail john@e\r\n"
                " xample.com\\, see www.example.com\r\n"
                "TEL:+1 (555) 123-4567\r\nEMAIL;TYPE=INTERNET:john@example.com\r\n"
                "URL:www.example.com\r\nCATEGORIES:Tagged\r\nEND:VCARD\r\n"
                "BEGIN:VCARD\r\nVERSION:3.0\r\n" + prodid +
                "N:Acme;;;;\r\nFN:Acme\r\nEND:VCARD\r\n");
}

TEST(VcardWriter, FoldsAt75OctetsNeverInsideACharacter) {
  // Two- and three-octet characters at every offset against the fold.
  std::string body;
  for (int i = 0; i < 300; ++i) body += (i % 3 == 0) ? "\x80" : (i % 3 == 1 ? "\xE9" : "a");
  const std::string bytes = VcardBytes({CardInfo(std::string(90, '\xFC'), body, 1)});
  std::size_t start = 0;
  int folds = 0;
  while (start < bytes.size()) {
    const std::size_t end = bytes.find("\r\n", start);
    ASSERT_NE(end, std::string::npos);
    const std::string line = bytes.substr(start, end - start);
    EXPECT_LE(line.size(), kVcardLineOctets);
    EXPECT_TRUE(IsUtf8(line)) << line;
    EXPECT_EQ(line.find_first_of("\r\n"), std::string::npos);
    folds += line.starts_with(" ");
    start = end + 2;
  }
  EXPECT_GT(folds, 10);
}

TEST(VcardWriter, FindsPhoneNumbersOnlyWhereALinePlainlyHoldsOne) {
  EXPECT_EQ(PhoneNumberIn("Tel: +1 (555) 123-4567"), "+1 (555) 123-4567");
  EXPECT_EQ(PhoneNumberIn("  030/1234567 "), "030/1234567");
  EXPECT_EQ(PhoneNumberIn("Mobile 0170 987 65 43"), "0170 987 65 43");
  EXPECT_EQ(PhoneNumberIn("Born 12.03.1980"), "");       // a date
  EXPECT_EQ(PhoneNumberIn("Call 555 1234 after six"), "");  // more than a number
  EXPECT_EQ(PhoneNumberIn("Room 12"), "");                // too few digits
  EXPECT_EQ(PhoneNumberIn("1234567890123456"), "");       // too many
  EXPECT_EQ(PhoneNumberIn("12+3456789"), "");             // + only in front
}

const std::vector<CardInfo>& TrickyCards() {
  static const std::vector<CardInfo> cards = {
      CardInfo("M\xFCller, J\xFCrgen",
               "Hauptstra\xDF" "e 5; Berlin, \\n not a break\r\n\r\nTel 030 1234567\r\n"
               "juergen@example.de http://example.de/a,b;c\r\n" + std::string(200, '\x80') +
                   "\r\n",
               1),
      CardInfo("Acme", "Only a note", 0),
      CardInfo("Smith, John, Jr", "", 1),
      CardInfo("a, ", "x", 0),
      CardInfo(", b", "y", 1),
      CardInfo("", "no index", 1),
      CardInfo("semi;colon\\back", "\x81\x8D\x8F\x90\x9D undefined bytes", 0),
  };
  return cards;
}

TEST(VcardWriter, ReadsBackAsTheSameCards) {
  std::vector<CardInfo> back;
  const VcardReadResult r = ParseVcards(VcardBytes(TrickyCards()), back);
  EXPECT_EQ(r.status, VcardStatus::Ok);
  EXPECT_EQ(back, TrickyCards());
  EXPECT_EQ(r.photos + r.keys + r.others, 0u);
}

TEST(VcardWriter, VobjectReadsWhatWeWrite) {
  test::TempDir dir;
  const std::string file = dir.File("out.vcf");
  const std::vector<CardInfo> cards = {TrickyCards()[0], TrickyCards()[1]};
  WriteText(file, VcardBytes(cards));
  // vobject validates as it parses: a malformed line, escape or fold fails.
  const std::string out = Python(
      "import vobject, json\n"
      "for c in vobject.readComponents(open('" + file + "', encoding='utf-8', newline='').read(),"
      " validate=True):\n"
      "  get = lambda n: [x.value for x in c.contents.get(n, [])]\n"
      "  print(json.dumps([c.version.value, c.fn.value, c.n.value.family, c.n.value.given,\n"
      "    get('note'), get('tel'), get('email'), get('url'), get('categories')]))\n",
      dir);
  const std::string note0 = CardTextToUtf8(cards[0].body);
  std::string note0Lf;
  for (std::size_t i = 0; i < note0.size(); ++i) {
    if (note0.compare(i, 2, "\r\n") == 0) continue;
    note0Lf += note0[i];
  }
  EXPECT_EQ(out,
            "[\"3.0\", \"M\\u00fcller, J\\u00fcrgen\", \"M\\u00fcller\", \"J\\u00fcrgen\", "
            "[\"Hauptstra\\u00dfe 5; Berlin, \\\\n not a break\\n\\nTel 030 1234567\\n"
            "juergen@example.de http://example.de/a,b;c\\n" +
                [] {
                  std::string euros;
                  for (int i = 0; i < 200; ++i) euros += "\\u20ac";
                  return euros;
                }() +
                "\\n\"], [\"030 1234567\"], [\"juergen@example.de\"], "
                "[\"http://example.de/a,b;c\"], [[\"Tagged\"]]]\n"
                "[\"3.0\", \"Acme\", \"Acme\", \"\", [\"Only a note\"], [], [], [], []]\n");
}

TEST(VcardWriter, ReadsVcardsThatVobjectWrote) {
  test::TempDir dir;
  const std::string file = dir.File("vobject.vcf");
  Python(
      "import vobject\n"
      "c = vobject.vCard()\n"
      "c.add('n').value = vobject.vcard.Name(family='M\\u00fcller', given='J\\u00fcrgen')\n"
      "c.add('fn').value = 'J\\u00fcrgen M\\u00fcller'\n"
      "t = c.add('tel'); t.value = '+49 30 1234567'; t.type_param = 'WORK'\n"
      "c.add('email').value = 'juergen@example.de'\n"
      "c.add('note').value = 'With, comma; semicolon\\\\ backslash\\nand a long line' + ' long' * 20\n"
      "c.add('org').value = ['Acme GmbH', 'Vertrieb']\n"
      "c.add('adr').value = vobject.vcard.Address(street='Hauptstra\\u00dfe 5', city='Berlin',"
      " code='10115', country='Deutschland')\n"
      "d = vobject.vCard()\n"
      "d.add('n').value = vobject.vcard.Name(family='', given='')\n"
      "d.add('fn').value = 'Studio Nord'\n"
      "open('" + file + "', 'w', encoding='utf-8', newline='').write(c.serialize() + d.serialize())\n",
      dir);
  std::vector<CardInfo> cards;
  const VcardReadResult r = LoadVcardFile(file, cards);
  ASSERT_EQ(r.status, VcardStatus::Ok) << VcardMessage(r, file);
  std::string longLine;
  for (int i = 0; i < 20; ++i) longLine += " long";
  EXPECT_EQ(cards, (std::vector<CardInfo>{
                       CardInfo("M\xFCller, J\xFCrgen",
                                "With, comma; semicolon\\ backslash\r\nand a long line" + longLine +
                                    "\r\nJ\xFCrgen M\xFCller\r\nAcme GmbH, Vertrieb\r\n"
                                    "Hauptstra\xDF" "e 5, Berlin, 10115, Deutschland\r\n"
                                    "+49 30 1234567\r\njuergen@example.de",
                                1),
                       CardInfo("Studio Nord", "", 1)}));
}

}  // namespace
}  // namespace tessel
