// The report as a page: its escaping, the day picture's cells, a card whose
// names look like markup, and cardcheck --html writing the page.
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <string>

#include "cardcheck/card_html.h"
#include "cardcheck/fingerprint.h"
#include "tests/support/scratch_dir.h"
#include "tests/support/settings_record.h"
#include "tests/support/shell_run.h"
#include "tests/support/wav_file.h"

namespace fs = std::filesystem;

namespace {

std::size_t Count(const std::string& text, const std::string& part) {
  std::size_t n = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

std::string ReadText(const fs::path& file) {
  std::vector<unsigned char> bytes = ReadAllBytes(file.string());
  return std::string(bytes.begin(), bytes.end());
}

// A card in a folder named like an element: the sensor by hour from a dog
// folder with a sound named like markup, a bear folder left empty; schedule
// A at random.
class CardHtmlTest : public ::testing::Test {
 protected:
  CardHtmlTest() : card_(scratch_.path() / "<script>") {
    config_ = Modes(1, 1, 2, 0, 1);
    for (int h = 0; h < kHoursPerPlan; ++h) {
      config_.type[PlanEntry(0, h)] = h < 20 ? kDog : kBear;
      config_.type[PlanEntry(2, h)] = h == 5 ? 77 : kTiger;
    }
    PutFile(card_ / "CFG_BROADCAST.bin", SettingsBytes(config_));
    PutFile(card_ / "audio/SenseSpecify/dog" / kMarkupName, PcmWav(1, 16000, 16, 160));
    fs::create_directories(card_ / "audio/SenseSpecify/bear");
    PutFile(card_ / "audio/Alarm/A/a.wav", PcmWav(1, 16000, 16, 160));
    PutFile(card_ / "audio/Alarm/B/tiger/t.wav", PcmWav(1, 16000, 16, 160));
  }
  CardReport Report() {
    CardReport report = CheckCard(card_);
    AddFingerprint(card_, "", "", report);
    return report;
  }
  ShellRun Cardcheck(const std::string& args) {
    return RunShell("'" + std::string(CARDCHECK_EXE) + "' " + args + " " + Quoted(card_));
  }

  static constexpr const char* kMarkupName = "<b>\"&'.wav";
  ScratchDir scratch_;
  fs::path card_;
  BroadcastConfig config_;
};

}  // namespace

TEST(CardHtml, EscapesMarkupAndReplacesWhatIsNotUtf8) {
  EXPECT_EQ(HtmlEscape("<a href=\"x\">&'</a>"), "&lt;a href=&quot;x&quot;&gt;&amp;&#39;&lt;/a&gt;");
  EXPECT_EQ(HtmlEscape("黑熊 鸟A.wav"), "黑熊 鸟A.wav");
  EXPECT_EQ(HtmlEscape("&amp;"), "&amp;amp;") << "escaped once more, never taken as already escaped";
  // A name in code page 936 on a Linux card: one U+FFFD per byte here, one
  // for a cut-off sequence, whose next byte is kept.
  EXPECT_EQ(HtmlEscape("\xB9\xB7.wav"), "\xEF\xBF\xBD\xEF\xBF\xBD.wav");
  EXPECT_EQ(HtmlEscape("\xE7\x8B<"), "\xEF\xBF\xBD&lt;");
  EXPECT_EQ(HtmlEscape("\xED\xA0\x80"), "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD") << "a surrogate";
  EXPECT_EQ(HtmlEscape("\xF0\x9F\x94\x8A"), "\xF0\x9F\x94\x8A") << "four bytes, well formed";
}

TEST_F(CardHtmlTest, TheFragmentHasAnHourCellForEveryEntryOfThePlans) {
  const std::string fragment = DayPictureHtml(DescribeDay(Report()));
  std::regex cell("<td data-hour=\"(\\d+)\" data-kind=\"(\\d+)\"( class=\"nofiles\")?");
  int cells = 0;
  std::string marked;
  for (std::sregex_iterator it(fragment.begin(), fragment.end(), cell), end; it != end; ++it, ++cells) {
    const int plan = cells / kHoursPerPlan, hour = cells % kHoursPerPlan;
    EXPECT_EQ(std::stoi((*it)[1]), hour) << cells;
    EXPECT_EQ(std::stoi((*it)[2]), config_.type[PlanEntry(plan, hour)]) << cells;
    if ((*it)[3].matched) marked += std::to_string(plan) + ":" + std::to_string(hour) + " ";
  }
  EXPECT_EQ(cells, 72);
  // The bear's hours, and schedule B's hour of a value that names no kind;
  // schedule A, at random, is greyed and marks nothing.
  EXPECT_EQ(marked, "0:20 0:21 0:22 0:23 2:5 ");
  EXPECT_EQ(Count(fragment, "<tr class=\"plan\">"), 2u);
  EXPECT_EQ(Count(fragment,
                  "<tr class=\"plan unused\"><th>定时播放A<span class=\"reason\">随机播放: 不按小时</span>"),
            1u)
      << fragment;
}

TEST_F(CardHtmlTest, NamesFromTheCardAreTextInOneSelfContainedDocument) {
  const std::string page = RenderHtml(Report());
  EXPECT_EQ(page.rfind("<!DOCTYPE html>\n<html lang=\"zh-CN\">\n<head>\n<meta charset=\"utf-8\">", 0), 0u)
      << page;
  EXPECT_EQ(page.substr(page.size() - 8), "</html>\n");
  EXPECT_EQ(Count(page, "<title>存储卡检查: " + HtmlEscape(card_.u8string()) + "</title>"), 1u) << page;
  EXPECT_EQ(Count(page, "&lt;b&gt;&quot;&amp;&#39;.wav"), 1u) << page;
  for (const char* markup : {"<b>", "<b ", "<script", "src=", "href=", "url(", "@import", "//"})
    EXPECT_EQ(Count(page, markup), 0u) << markup;
  EXPECT_EQ(Count(page, "<table class=\"day\">"), 1u);
  // The empty bear folder and its four hours; hour 5's value and that it plays nothing.
  EXPECT_EQ(Count(page, "结论: 存储卡还不能使用 (7 个问题)"), 1u) << page;

  // Beyond forty sounds the folders are given by their counts alone.
  for (int i = 0; i < 40; ++i)
    PutFile(card_ / "audio/Alarm/A" / (std::to_string(i) + ".wav"), PcmWav(1, 16000, 16, 16));
  const std::string many = RenderHtml(Report());
  EXPECT_EQ(Count(many, "超过 40 个"), 1u);
  EXPECT_EQ(Count(many, "<span class=\"name\">"), 0u);
  EXPECT_EQ(Count(many, "audio\\Alarm\\A: 41 个文件，41 个可用"), 1u) << many;

  // Without settings there is no day to draw.
  fs::remove(card_ / "CFG_BROADCAST.bin");
  const std::string none = RenderHtml(Report());
  EXPECT_EQ(Count(none, "<table class=\"day\">"), 0u);
  EXPECT_EQ(Count(none, "[!] 没有 CFG_BROADCAST.bin"), 1u) << none;
}

TEST_F(CardHtmlTest, TheProgramPutsThePageInPlaceAndStillPrintsTheReport) {
  const fs::path page = scratch_.path() / "报告.html";
  PutFile(page, "an older report");
  ShellRun run = Cardcheck("--html " + Quoted(page));
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.out.find("\n结论: 存储卡还不能使用 (7 个问题)\n"), std::string::npos) << run.out;
  EXPECT_EQ(ReadText(page), RenderHtml(Report()));
  EXPECT_EQ(std::distance(fs::directory_iterator(scratch_.path()), fs::directory_iterator()), 2)
      << "the card and the page, no temporary file";

  ShellRun json = Cardcheck("--json --html " + Quoted(page));
  EXPECT_EQ(json.exitCode, 1);
  EXPECT_EQ(json.out.rfind("{\"card\":", 0), 0u) << json.out;

  ShellRun nowhere = RunShell("'" + std::string(CARDCHECK_EXE) + "' --html " +
                              Quoted(scratch_.path() / "no/such.html") + " " + Quoted(card_) + " 2>&1");
  EXPECT_EQ(nowhere.exitCode, 2);
  EXPECT_EQ(
      nowhere.out.rfind("cardcheck: 无法写入网页 " + (scratch_.path() / "no/such.html").string() + " (", 0),
      0u)
      << nowhere.out;
  EXPECT_EQ(nowhere.out.find("结论"), std::string::npos) << "nothing done: no report";
  EXPECT_EQ(RunShell("'" + std::string(CARDCHECK_EXE) + "' --html 2>/dev/null").exitCode, 2);
}
