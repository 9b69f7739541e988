#include <gtest/gtest.h>

#include <filesystem>

#include "list_document.h"
#include "scripted_prompter.h"
#include "temp_dir.h"

namespace {

std::string listBytes(const std::vector<std::string>& entries) {
    std::string bytes = "START\r\n";
    for (const std::string& e : entries) {
        bytes += e + "\r\n";
    }
    return bytes + "END\r\n";
}

}  // namespace

TEST(ListDocument, NameAndChangedFollowOpenEditAndSave) {
    TempDir dir;
    ScriptedPrompter prompter;
    ListDocument doc;
    doc.model().append("/p/a.jpg");
    doc.markEdited();
    EXPECT_FALSE(doc.changed()) << "edits of a new list leave it unchanged";
    EXPECT_FALSE(doc.save(prompter)) << "a new list has no file to save to";

    const std::string path = dir.file("Holiday photos.lst");
    ASSERT_TRUE(doc.saveAs(path, prompter));
    EXPECT_TRUE(doc.named());
    EXPECT_EQ(doc.name(), "Holiday photos");
    EXPECT_FALSE(doc.changed());

    doc.model().append("/p/a.jpg");  // pruned on save
    doc.markEdited();
    EXPECT_TRUE(doc.changed());
    ASSERT_TRUE(doc.save(prompter));
    EXPECT_FALSE(doc.changed());
    EXPECT_EQ(doc.entries(), std::vector<std::string>{"/p/a.jpg"});
    EXPECT_EQ(ReadFileBytes(path).substr(0, 7), "START\r\n");

    const std::string other = dir.write("other.lst", listBytes({"/q/b.jpg"}));
    ASSERT_TRUE(doc.merge(other, prompter));
    EXPECT_EQ(doc.entries(), (std::vector<std::string>{"/p/a.jpg", "/q/b.jpg"}));
    EXPECT_TRUE(doc.changed()) << "a list read into a named one changes it";

    ASSERT_TRUE(doc.open(other, prompter));
    EXPECT_EQ(doc.entries(), std::vector<std::string>{"/q/b.jpg"});
    EXPECT_EQ(doc.path(), other);
    EXPECT_FALSE(doc.changed());
    EXPECT_TRUE(prompter.calls().empty());
}

TEST(ListDocument, FailedWriteAndRefusedFileKeepTheirState) {
    TempDir dir;
    ScriptedPrompter prompter;
    ListDocument doc;
    const std::string path = dir.write("lists/l.lst", listBytes({"/p/a.jpg"}));
    ASSERT_TRUE(doc.open(path, prompter));
    doc.model().append("/p/b.jpg");
    doc.markEdited();
    std::filesystem::remove_all(dir.file("lists"));
    dir.write("lists", "a file where the folder was");
    prompter.answerMessage(PromptAnswer::Ok);
    EXPECT_FALSE(doc.save(prompter));
    EXPECT_TRUE(doc.named());
    EXPECT_TRUE(doc.changed());
    EXPECT_EQ(doc.path(), path);

    prompter.answerMessage(PromptAnswer::Ok);
    EXPECT_FALSE(doc.open(dir.write("bad.lst", "not a list at all"), prompter));
    EXPECT_EQ(prompter.messageTexts().back(), "Not a valid Image list!");
    EXPECT_EQ(doc.entries(), (std::vector<std::string>{"/p/a.jpg", "/p/b.jpg"}));
    EXPECT_EQ(doc.path(), path) << "a refused file leaves the list as it was";
    EXPECT_TRUE(doc.changed());
}
