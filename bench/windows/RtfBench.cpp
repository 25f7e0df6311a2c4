// Rich text of long notes: bullet lists of 1,000 to 80,000 paragraphs as the rich-text control
// writes them, read into a document, written back, and read as plain text by the search;
// lists of 10,000 to 40,000 paragraphs where each paragraph has its own list group; and
// numbered lists of 5,000 to 20,000 items in the forms word processors write, read, written
// and laid out.
#include "platform/RtfText.h"
#include "windows/richedit/RtfReader.h"
#include "windows/richedit/RtfWriter.h"

#include <QTextDocument>
#include <benchmark/benchmark.h>
#include <map>
#include <string>

using namespace qel;

namespace {

std::string BulletNote(int paragraphs) {
  std::string rtf = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl{\\f0\\fnil\\fcharset0 Arial;}"
                    "{\\f1\\fnil\\fcharset2 Symbol;}}\r\n{\\colortbl ;\\red255\\green0\\blue0;}\r\n"
                    "\\viewkind4\\uc1\\pard{\\pntext\\f1\\'B7\\tab}{\\*\\pn\\pnlvlblt\\pnf1\\pnindent0{\\pntxtb\\'B7}}"
                    "\\fi-200\\li200\\f0\\fs20 ";
  for (int i = 0; i < paragraphs; ++i) {
    if (i > 0) rtf += "{\\pntext\\f1\\'B7\\tab}";
    rtf += "Item " + std::to_string(i) + " with \\b some\\b0  \\cf1 words\\cf0\\par\r\n";
  }
  return rtf + "\\pard\\par\r\n}\r\n";
}

const std::string& Note(int paragraphs) {
  static std::map<int, std::string> notes;
  std::string& note = notes[paragraphs];
  if (note.empty()) note = BulletNote(paragraphs);
  return note;
}

// Lists as the control writes them where each item's format differs from the one before: a
// "{\pn}" group for every paragraph. Shapes: 0 bullets; 1 bullets with every third item a
// numbered item a level deeper; 2 one numbered list.
std::string PerParagraphNote(int paragraphs, int shape) {
  std::string rtf = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fnil Arial;}}\\viewkind4\\uc1";
  for (int i = 0; i < paragraphs; ++i) {
    const bool nested = shape == 1 && i % 3 == 2;
    rtf += std::string("\\pard{\\*\\pn") + (nested || shape == 2 ? "\\pnlvlbody\\pndec" : "\\pnlvlblt") + "\\pnindent0\\pnstart" +
           std::to_string(shape == 2 ? i + 1 : 1) + "}" + (i % 2 ? "\\qc" : "") + (nested ? "\\ilvl1" : "") + " Item " +
           std::to_string(i) + "\\par\r\n";
  }
  return rtf + "}";
}

void ReadEach(benchmark::State& state, const std::string& rtf) {
  for (auto _ : state) {
    QTextDocument document;
    ReadRtf(rtf, document);
    benchmark::DoNotOptimize(document.blockCount());
  }
  state.SetBytesProcessed(static_cast<int64_t>(rtf.size()) * state.iterations());
}

void BM_ReadRtfPerParagraphList(benchmark::State& state) {
  ReadEach(state, PerParagraphNote(static_cast<int>(state.range(0)), static_cast<int>(state.range(1))));
}
BENCHMARK(BM_ReadRtfPerParagraphList)
    ->ArgsProduct({{10000, 20000, 40000}, {0, 1}})
    ->Args({5000, 2})
    ->Args({10000, 2})
    ->Args({20000, 2})
    ->Unit(benchmark::kMillisecond);

// One numbered list in the form of: 0 word processors ("\\ls" and its mark written out);
// 1 older word processors (a "{\\pn}" group for each paragraph, each starting at 1); 2 AbiWord
// (both, and no mark written out).
std::string NumberedNote(int items, int form) {
  std::string rtf = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fnil Arial;}}\\viewkind4\\uc1\r\n";
  for (int i = 1; i <= items; ++i) {
    const std::string number = std::to_string(i);
    if (form == 0) rtf += "{\\listtext " + number + ".\\tab}\\pard\\ls1\\fi-360\\li720 ";
    if (form == 1)
      rtf += "{\\pntext " + number + ".\\tab}\\pard{\\*\\pn\\pnlvlbody\\pnf0\\pnindent360\\pnstart1\\pndec{\\pntxta.}}"
             "\\fi-360\\li720 ";
    if (form == 2) rtf += "{\\listtext\\tab}\\pard\\ls1\\ilvl0{\\*\\pn\\pnlvlbody\\pndec\\pnstart1{\\pntxta.}}\\fi-360\\li720 ";
    rtf += "Item " + number + " with \\b some\\b0  words\\par\r\n";
  }
  return rtf + "\\pard\\par\r\n}\r\n";
}

void BM_ReadRtfNumberedList(benchmark::State& state) {
  ReadEach(state, NumberedNote(static_cast<int>(state.range(0)), static_cast<int>(state.range(1))));
}
BENCHMARK(BM_ReadRtfNumberedList)->ArgsProduct({{5000, 10000, 20000}, {0, 1, 2}})->Unit(benchmark::kMillisecond);

// Written back, and laid out as a note window shows it.
void BM_WriteRtfNumberedList(benchmark::State& state) {
  QTextDocument document;
  ReadRtf(NumberedNote(static_cast<int>(state.range(0)), 1), document);
  for (auto _ : state) benchmark::DoNotOptimize(WriteRtf(document).size());
}
BENCHMARK(BM_WriteRtfNumberedList)->Arg(5000)->Arg(10000)->Arg(20000)->Unit(benchmark::kMillisecond);

void BM_LayOutNumberedList(benchmark::State& state) {
  const std::string rtf = NumberedNote(static_cast<int>(state.range(0)), 1);
  for (auto _ : state) {
    QTextDocument document;
    ReadRtf(rtf, document);
    document.setTextWidth(600);
    benchmark::DoNotOptimize(document.size().height());
  }
}
BENCHMARK(BM_LayOutNumberedList)->Arg(5000)->Arg(10000)->Arg(20000)->Unit(benchmark::kMillisecond);

void BM_ReadRtf(benchmark::State& state) { ReadEach(state, Note(static_cast<int>(state.range(0)))); }
BENCHMARK(BM_ReadRtf)->Arg(1000)->Arg(10000)->Arg(80000)->Unit(benchmark::kMillisecond);

void BM_WriteRtf(benchmark::State& state) {
  QTextDocument document;
  ReadRtf(Note(static_cast<int>(state.range(0))), document);
  size_t size = 0;
  for (auto _ : state) {
    const std::string written = WriteRtf(document);
    size = written.size();
    benchmark::DoNotOptimize(written.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(size) * state.iterations());
}
BENCHMARK(BM_WriteRtf)->Arg(1000)->Arg(10000)->Arg(80000)->Unit(benchmark::kMillisecond);

void BM_RtfPlainText(benchmark::State& state) {
  const std::string& rtf = Note(static_cast<int>(state.range(0)));
  std::string out;
  for (auto _ : state) {
    RtfToPlainText(rtf, out);
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(rtf.size()) * state.iterations());
}
BENCHMARK(BM_RtfPlainText)->Arg(1000)->Arg(10000)->Arg(80000)->Unit(benchmark::kMillisecond);

} // namespace
