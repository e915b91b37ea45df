#include <QtTest>
#include <algorithm>
#include <string>

#include "CRecordData.h"
#include "DataFile.h"
#include "Fetch.h"
#include "FileKind.h"
#include "GlobalShared.h"

// The kinds' table against the sample files: each row must describe the file of its kind.
class TestFileKind : public QObject {
  Q_OBJECT

  static std::string sample(GlobalShared::FileType code) {
    const std::string path = qEnvironmentVariable("PELKO_SAMPLES").toStdString() + "/" + FileKind::defaultFileName(code, false);
    std::string text;
    return GlobalShared::readFileBytes(path, text) == 0 ? text : std::string();
  }

  static QByteArray bytes(std::string_view text) { return QByteArray(text.data(), qsizetype(text.size())); }

 private slots:
  void rowDescribesItsSample_data() {
    QTest::addColumn<int>("code");
    QTest::addColumn<QByteArray>("firstUnitName");
    QTest::newRow("units") << int(GlobalShared::kUnitProd) << QByteArray("Peasants");
    QTest::newRow("buildings") << int(GlobalShared::kBuildProd) << QByteArray("Palisade");
    QTest::newRow("projectiles") << int(GlobalShared::kProjectileStats) << QByteArray("arrow");
  }
  void rowDescribesItsSample() {
    const FileKind* kind = FileKind::find(fetched<int>("code"));
    QVERIFY(kind);
    const std::string text = sample(kind->code);
    QVERIFY2(!text.empty(), "the sample is named after its kind's stem");
    QCOMPARE(FileKind::detect(text), kind->code);

    // The first line names the fields; a packed cell's title stands for all of its fields.
    const std::size_t lineEnd = text.find('\r');
    const std::size_t semicolon = text.rfind(';', lineEnd);
    QCOMPARE(kind->headerToLastSemicolon, semicolon != std::string::npos);
    const std::size_t titlesStart = kind->headerToLastSemicolon ? semicolon + 1 : 0;
    const std::string titles = text.substr(titlesStart, lineEnd - titlesStart);
    const auto cells = static_cast<std::int32_t>(std::count(titles.begin(), titles.end(), '\t') + 1);
    const std::int32_t packedExtra = kind->packed.empty() ? 0 : kind->packed.last - kind->packed.first;
    QCOMPARE(cells + packedExtra, kind->noFields);

    CRecordData store;
    QCOMPARE(DataFile::loadDataText(text, "sample", kind->code, store), kind->code);
    QCOMPARE(bytes(store.value(1, kind->nameField)).toLower(), QByteArray("name"));
    QCOMPARE(bytes(store.unitName(kind->firstUnit)), fetched<QByteArray>("firstUnitName"));
    if (!kind->packed.empty()) {
      // A unit's packed values are fields of their own; a header row's cell fills every one.
      QCOMPARE(store.value(kind->firstUnit, kind->packed.first).find(','), std::string_view::npos);
      QCOMPARE(store.value(kind->headerRows(), kind->packed.last), store.value(kind->headerRows(), kind->packed.first));
    }
  }

  // Every kind's preset ranges and widths stay inside its fields.
  void presetsStayInsideTheFields_data() {
    QTest::addColumn<int>("code");
    for (const FileKind& kind : FileKind::all()) QTest::newRow(std::string(kind.section).c_str()) << int(kind.code);
  }
  void presetsStayInsideTheFields() {
    const FileKind& kind = *FileKind::find(fetched<int>("code"));
    for (std::int32_t r = 1; r <= FileKind::kRangeCount; ++r) {
      const FieldSpan span = kind.defaultRange(r);
      QVERIFY(span.first >= 1 && span.first <= span.last && span.last <= kind.noFields);
    }
    for (const WidthSpan& span : kind.widths) QVERIFY(span.fields.first >= 1 && span.fields.last <= kind.noFields);
    QVERIFY(kind.nameField >= 1 && kind.nameField < kind.noFields);
    QVERIFY(kind.tipRow >= 1 && kind.tipRow <= kind.headerRows());
  }
};

QTEST_GUILESS_MAIN(TestFileKind)
#include "tst_filekind.moc"
