#include "platform/qt/Registry.h"
#include <algorithm>

#include <QCoreApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace qel {
namespace {

class RegistryTest : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(Folder.isValid());
    TRegistry::SetStorageFolder(Folder.path().toStdString());
  }
  QTemporaryDir Folder;
};

TEST_F(RegistryTest, ValuesSurviveAnotherInstanceAndKeepTheirBytes) {
  {
    TRegistry registry;
    EXPECT_FALSE(registry.OpenKey(kQelKey, false)); // nothing stored yet
    ASSERT_TRUE(registry.OpenKey(kQelKey, true));
    registry.WriteString("LastProject", "/home/d\xE9j\xE0/Plan.qel");
    registry.WriteString("Empty", "");
  }
  TRegistry registry;
  ASSERT_TRUE(registry.OpenKey("\\Software\\Brask\\QEL", false));
  EXPECT_EQ(registry.ReadString("LastProject"), "/home/d\xE9j\xE0/Plan.qel");
  EXPECT_TRUE(registry.ValueExists("Empty"));
  EXPECT_FALSE(registry.ValueExists("Missing"));
  EXPECT_EQ(registry.ReadString("Missing"), "");
}

TEST_F(RegistryTest, DeleteValueAndValueNames) {
  TRegistry registry;
  ASSERT_TRUE(registry.OpenKey(kQelKey, true));
  registry.WriteString("MRU1", "a");
  registry.WriteString("MRU3", "c");
  std::vector<std::string> names = registry.GetValueNames();
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"MRU1", "MRU3"}));
  EXPECT_TRUE(registry.DeleteValue("MRU1"));
  EXPECT_FALSE(registry.DeleteValue("MRU2"));
  EXPECT_EQ(registry.GetValueNames(), std::vector<std::string>{"MRU3"});
}

TEST_F(RegistryTest, SubKeysAreSeparateAndForeignKeysAreRefused) {
  TRegistry registry;
  ASSERT_TRUE(registry.OpenKey("Software\\Brask\\QEL\\Window", true));
  registry.WriteString("Left", "10");
  ASSERT_TRUE(registry.OpenKey(kQelKey, true));
  EXPECT_FALSE(registry.ValueExists("Left"));
  EXPECT_TRUE(registry.KeyExists("Software\\Brask\\QEL\\Window"));
  EXPECT_FALSE(registry.OpenKey("Software\\Other", true));
  EXPECT_FALSE(registry.OpenKey("Software\\Brask\\QELX", true));
}

} // namespace
} // namespace qel
