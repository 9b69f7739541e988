#include <QDir>
#include <QFileSystemModel>
#include <QTest>

#include "name_mode_icon_provider.h"
#include "open_watch.h"
#include "temp_dir.h"

class IconProviderTest : public QObject {
    Q_OBJECT
  private slots:
    void namesKindsWithoutOpeningFiles();
    void givenToAModel();
};

void IconProviderTest::namesKindsWithoutOpeningFiles() {
    TempDir dir;
    NameModeIconProvider provider;
    QCOMPARE(FilesOpenedForIcons(provider, dir.path().string()), std::vector<std::string>{});
    QCOMPARE(provider.type(QFileInfo(QDir::rootPath())), QString("Drive"));
    QCOMPARE(provider.type(QFileInfo(QString::fromStdString(dir.path().string()))),
             QString("Folder"));
    QCOMPARE(provider.type(QFileInfo(QString::fromStdString(dir.file("shot.jpg")))),
             QString("JPG File"));
    QCOMPARE(provider.type(QFileInfo(QString::fromStdString(dir.file("README")))), QString("File"));
    QVERIFY(!provider.icon(QFileInfo(QString::fromStdString(dir.file("README")))).isNull());
}

void IconProviderTest::givenToAModel() {
    QFileSystemModel model;
    UseNameModeIcons(model);
    QVERIFY(dynamic_cast<const NameModeIconProvider*>(model.iconProvider()));
}

QTEST_MAIN(IconProviderTest)
#include "icon_provider_test.moc"
