// Rich text in forms that older programs and other word processors write: code pages whose
// letters combine with marks, hidden text and text given twice ("\upr").
#include "GuiTest.h"
#include "RtfDescribe.h"
#include "platform/RtfText.h"
#include "windows/richedit/RtfReader.h"

#include <QTextDocument>
#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace qel;

namespace {

struct TFormCase {
  const char* Name;
  std::string Rtf;
  const char* Shown;
  std::vector<const char*> Stored; // in what the control stores after an edit
};

std::string Note(const char* header, const char* fonts, const char* body) {
  return std::string("{\\rtf1\\ansi") + header + "\\deff0{\\fonttbl{\\f0\\fnil\\fcharset0 Arial;}" + fonts +
         "}\r\n\\viewkind4\\uc1\\pard\\f0\\fs20 " + body + "\\par\r\n}\r\n";
}

} // namespace

// Fault: Hebrew and Vietnamese bytes showed as nothing and were gone at the first edit; hidden
// text showed and lost "\v" at the first edit. Each form shows its text, gives its bytes back
// unedited, keeps everything after one typed character, and the search reads the same text.
TEST(RtfOlderForms, EachFormShowsItsTextAndKeepsItThroughAnEdit) {
  test::EnsureApplication();
  const std::vector<TFormCase> cases = {
      {"charset 177", Note("\\ansicpg1252", "{\\f1\\fnil\\fcharset177 David;}", "Hi \\f1\\'f9\\'ec\\'e5\\'ed\\f0 !"),
       "[0 0 0 0](Arial 20)Hi (David 20 charset177)שלום(Arial 20)!\n[0 0 0 0]\n",
       {"{\\f1\\fnil\\fcharset177 David;}", "\\f1\\u1513\\'f9\\u1500\\'ec\\u1493\\'e5\\u1501\\'ed\\f0 !"}},
      {"charset 163", Note("\\ansicpg1252", "{\\f1\\fnil\\fcharset163 Tahoma;}", "\\f1\\'d0\\'f4ng \\'f5n \\'fdu a\\'ecu"),
       "[0 0 0 0](Tahoma 20 charset163)Đông ơn ưu a\u0301u\n[0 0 0 0]\n",
       {"{\\f1\\fnil\\fcharset163 Tahoma;}", "!\\u272\\'d0\\u244\\'f4ng \\u417\\'f5n \\u432\\'fdu a\\u769\\'ecu"}},
      // The document's code page is not written: the letters go as Unicode alone.
      {"ansicpg1255", Note("\\ansicpg1255", "{\\f1\\fnil David;}", "\\f1\\'f9\\'ec\\'e5\\'ed \\'e0\\'c8"),
       "[0 0 0 0](David 20)שלום א\u05B8\n[0 0 0 0]\n",
       {"!\\u1513\\'3f\\u1500\\'3f\\u1493\\'3f\\u1501\\'3f \\u1488\\'3f\\u1464\\'3f"}},
      // Paragraph marks and line breaks show, also where the text around them is hidden.
      {"hidden", Note("\\ansicpg1252", "", "Shown {\\v secret\\par mo\\line re} text \\v again\\v0  end"),
       "[0 0 0 0](Arial 20)Shown (Arial 20 hidden)secret\n"
       "[0 0 0 0](Arial 20 hidden)mo(Arial 20)\u2028(Arial 20 hidden)re(Arial 20) text (Arial 20 hidden)again(Arial 20) end\n"
       "[0 0 0 0]\n",
       {"!Shown \\v secret\\v0\\par", "\\v mo\\v0\\line\\v re\\v0  text \\v again\\v0  end"}},
      {"upr", Note("\\ansicpg1252", "", "Caf\\'e9 {\\upr{Pi ?}{\\*\\ud{Pi \\u960?}}} end"),
       "[0 0 0 0](Arial 20)Café Pi π end\n[0 0 0 0]\n", {"!Caf\\'e9 Pi \\u960\\'3f end"}},
  };
  for (const TFormCase& form : cases) {
    SCOPED_TRACE(form.Name);
    const std::string stored = test::ExpectKeptThroughAnEdit(form.Rtf, form.Shown, form.Stored);
    QTextDocument read;
    ReadRtf(form.Rtf, read);
    std::string plain;
    RtfToPlainUtf8(form.Rtf, plain);
    EXPECT_EQ(plain, PlainUnicodeOf(read).toStdString());
  }
}
