// When no trash folder can be made, a delete to the trash fails and leaves the
// file where it was; it never turns into a permanent delete.

#include <gtest/gtest.h>

#include <QByteArray>
#include <QString>
#include <filesystem>

#include "file_ops.h"
#include "temp_dir.h"

namespace fs = std::filesystem;

namespace {

class DataHome {
  public:
    explicit DataHome(const std::string& path) : m_saved(qgetenv("XDG_DATA_HOME")) {
        qputenv("XDG_DATA_HOME", QByteArray::fromStdString(path));
    }
    ~DataHome() { qputenv("XDG_DATA_HOME", m_saved); }

  private:
    QByteArray m_saved;
};

}  // namespace

TEST(TrashFaults, NoTrashFolderMeansTheFileStays) {
    // The file must be on the home's file system, where the home trash serves.
    const fs::path home = qEnvironmentVariable("HOME").toStdString();
    ASSERT_FALSE(home.empty());
    TempDir scratch;
    const fs::path folder = home / ("trash-faults-" + scratch.path().filename().string());
    fs::create_directories(folder);
    const std::string picture = (folder / "holiday.jpg").string();
    const std::string blocker = (folder / "plain-file").string();
    {
        std::FILE* f = std::fopen(picture.c_str(), "wb");
        std::fputs("image bytes", f);
        std::fclose(f);
        f = std::fopen(blocker.c_str(), "wb");
        std::fclose(f);
    }
    fs::create_directories(folder / "data-with-trash-file");
    std::FILE* trashFile = std::fopen((folder / "data-with-trash-file" / "Trash").c_str(), "wb");
    std::fclose(trashFile);

    QtFileOps ops;
    // Below a regular file, and a data folder whose "Trash" is a regular file.
    for (const fs::path& dataHome :
         {fs::path(blocker) / "share", folder / "data-with-trash-file"}) {
        const DataHome unusable(dataHome.string());
        EXPECT_FALSE(ops.moveToTrash(picture)) << dataHome;
        EXPECT_EQ(ReadFileBytes(picture), "image bytes") << dataHome;
    }
    // The same call succeeds with a usable trash: the fault alone made it fail.
    const DataHome usable((folder / "data").string());
    EXPECT_TRUE(ops.moveToTrash(picture));
    EXPECT_FALSE(fs::exists(picture));
    fs::remove_all(folder);
}
