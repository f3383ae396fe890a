// The log adds only to a file that is wholly a log HidBridge wrote: whatever
// else a movie names is left as it is.
#include "diagnostics/log_file_content.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "standin/control.h"

namespace {

const char kStamp[] = "Code compile date:Jan  5 2024\n Code compile time:13:05:59\n";

class LogFileContent : public testing::Test {
 protected:
  void SetUp() override {
    standin::Reset();
    root = testing::TempDir() + "log-file-content-" + std::to_string(::getpid());
    std::filesystem::remove_all(root);
    standin::SetDriveRoot(root);
  }
  void TearDown() override {
    standin::SetDriveRoot("");
    std::filesystem::remove_all(root);
    standin::Reset();
  }

  // The fault for c:\log.txt holding exactly `text`.
  const char* FaultOf(const std::string& text) {
    const std::string path = standin::NativePath("c:\\log.txt");
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
    return LogFileContentFault(u"c:\\log.txt");
  }

  std::string root;
};

TEST_F(LogFileContent, NoFileAnEmptyOneAndWholeLogsAreTaken) {
  EXPECT_EQ(LogFileContentFault(u"c:\\log.txt"), nullptr) << "no file yet";
  EXPECT_EQ(LogFileContentFault(u"c:\\no folder\\log.txt"), nullptr) << "no folder yet";
  EXPECT_EQ(FaultOf(""), nullptr) << "an empty file holds nothing to lose";
  EXPECT_EQ(FaultOf(kStamp), nullptr);
  EXPECT_EQ(FaultOf(std::string(kStamp) + "123: <*>:<1><ab>\n-2147483648: ****InternalError****:x\n" + kStamp +
                    "4294967295: TStdXtra_IMoaMmXScript::InformUserOfErrorUsingDialog:Error :a\\r\\nb \xC3\xA9\n"),
            nullptr)
      << "entries and later stamps, ticks of up to ten digits, text beyond ASCII";
  EXPECT_EQ(FaultOf("Code compile date:Dec 25 2023\r\n Code compile time:00:00:00\r\n7: <*>:\r\n"), nullptr)
      << "as Windows' text mode ends lines";
}

TEST_F(LogFileContent, AFileThatOnlyBeginsLikeALogIsNotOurs) {
  for (const std::string& text : {
           std::string("Code compile date:\nDear Sir\n"),
           std::string("Dear Sir\n") + kStamp,
           std::string(kStamp) + "Dear Sir\n",
           std::string(kStamp) + "12345678901: <*>:eleven digits\n",
           std::string(kStamp) + "12: no tag\n",
           std::string(kStamp) + "12:<*>:no blank\n",
           std::string(kStamp) + "\n",
           std::string(kStamp) + "12: <*>:a\tb\n",
           std::string(kStamp) + "12: <*>:a\rb\n",
           std::string(kStamp) + "12: <*>:a\x7F\n",
           std::string(kStamp) + "12: <*>:a" + '\0' + "\n",
           std::string(kStamp) + "12: <*>:unended",
           std::string(kStamp) + "12: <*>:a\r",
           std::string("Code compile date:Jan  5 2024\n12: <*>:no time\n"),
           std::string("Code compile date:Jan  5 2024\n"),
           std::string(" Code compile time:13:05:59\nCode compile date:Jan  5 2024\n"),
           std::string("Code compile date:Jan  5 2024 \n Code compile time:13:05:59\n"),
           std::string("Code compile date:jan  5 2024\n Code compile time:13:05:59\n"),
           std::string("Code compile date:Jan  5 2024\n Code compile time:13:05:5x\n"),
       }) {
    EXPECT_STREQ(FaultOf(text), kLogNotOurs) << text;
  }
}

TEST_F(LogFileContent, ALogIsReadThroughUpTo16MegabytesAndNoLarger) {
  std::string log = kStamp;
  const std::string entry = "123456: <*>:" + std::string(1000, 'x') + "\n";
  while (log.size() + entry.size() <= static_cast<size_t>(kLargestLogAddedTo)) log += entry;
  const size_t room = static_cast<size_t>(kLargestLogAddedTo) - log.size();
  ASSERT_GE(room, std::string("1: :\n").size());
  log += "1: :" + std::string(room - 5, 'y') + "\n";
  ASSERT_EQ(log.size(), static_cast<size_t>(kLargestLogAddedTo));
  EXPECT_EQ(FaultOf(log), nullptr) << "at the limit";
  EXPECT_STREQ(FaultOf(log + "2: :\n"), kLogTooLarge);
  // What spoils a log is found however far in it lies.
  log[log.size() - 2] = '\t';
  EXPECT_STREQ(FaultOf(log), kLogNotOurs);
}

TEST_F(LogFileContent, FoldersLinksAndFilesThatCannotBeReadAreRefused) {
  std::filesystem::create_directories(standin::NativePath("c:\\folder.txt"));
  EXPECT_STREQ(LogFileContentFault(u"c:\\folder.txt"), kLogIsFolder);

  ASSERT_EQ(FaultOf(kStamp), nullptr);
  std::filesystem::create_symlink(standin::NativePath("c:\\log.txt"), standin::NativePath("c:\\link.txt"));
  EXPECT_STREQ(LogFileContentFault(u"c:\\link.txt"), kLogIsLink) << "even to a log";

  standin::FailNext("GetFileAttributesW", ERROR_ACCESS_DENIED);
  EXPECT_STREQ(LogFileContentFault(u"c:\\log.txt"), kLogUnreadable) << "it may be there";
  standin::FailNext("_wfopen", EACCES);
  EXPECT_STREQ(LogFileContentFault(u"c:\\log.txt"), kLogUnreadable);
}

}  // namespace
