// A printer's calibration in the settings store: kept per printer and paper
// source, round-tripped exactly, cleared alone, and never taken back from a
// damaged or implausible stored value.
#include "settings/calibrationstore.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

using namespace settings;

TEST(CalibrationStore, KeptPerPrinterAndPaperSourceAndClearedAlone)
{
    memoryStore_t store;
    const printerDistortion_t laser{1.25, -0.5, 1.004, 0.9965, 0.125}, tray{0.3, 0.1, 0.999, 1.001, 0};
    ASSERT_TRUE(saveCalibration(store, QStringLiteral("Office Laser"), QStringLiteral("Auto"), laser));
    ASSERT_TRUE(saveCalibration(store, QStringLiteral("Office Laser"), QStringLiteral("Manual"), tray));
    EXPECT_EQ(loadCalibration(store, QStringLiteral("Office Laser"), QStringLiteral("Auto")), laser);
    EXPECT_EQ(loadCalibration(store, QStringLiteral("Office Laser"), QStringLiteral("Manual")), tray);
    EXPECT_FALSE(loadCalibration(store, QStringLiteral("Office Laser 2"), QStringLiteral("Auto")));
    EXPECT_FALSE(loadCalibration(store, QStringLiteral("PDF"), QStringLiteral("Auto")));

    ASSERT_TRUE(clearCalibration(store, QStringLiteral("Office Laser"), QStringLiteral("Auto")));
    EXPECT_FALSE(loadCalibration(store, QStringLiteral("Office Laser"), QStringLiteral("Auto")));
    EXPECT_EQ(loadCalibration(store, QStringLiteral("Office Laser"), QStringLiteral("Manual")), tray);
}

TEST(CalibrationStore, SurvivesTheStoreFileExactly)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Velantis.ini"));
    // Values that a short decimal form would round.
    const printerDistortion_t d{1.0 / 3, -2.0 / 7, 1 + 1e-7, 1 - 3e-6, 0.1 + 0.2};
    {
        iniStore_t store(path);
        ASSERT_TRUE(saveCalibration(store, QStringLiteral("Label printer/2 (USB)"), QStringLiteral("Tractor"), d));
    }
    iniStore_t again(path);
    EXPECT_EQ(loadCalibration(again, QStringLiteral("Label printer/2 (USB)"), QStringLiteral("Tractor")), d);
}

TEST(CalibrationStore, ImplausibleOrDamagedValuesAreNeitherStoredNorRead)
{
    memoryStore_t store;
    struct badCase {
        const char* name;
        printerDistortion_t d;
    };
    const badCase refused[] = {
        {"ScaleOffByAFifth", {0, 0, 1.2, 1, 0}},
        {"ShrunkByAFifth", {0, 0, 1, 0.8, 0}},
        {"OffsetOfFiveCentimetres", {50, 0, 1, 1, 0}},
        {"TurnedTenDegrees", {0, 0, 1, 1, 10}},
        {"NotANumber", {NAN, 0, 1, 1, 0}},
    };
    for (const badCase& c : refused) {
        SCOPED_TRACE(c.name);
        EXPECT_FALSE(saveCalibration(store, QStringLiteral("P"), QStringLiteral("Auto"), c.d));
        EXPECT_FALSE(store.exists(calibrationKey, calibrationName(QStringLiteral("P"), QStringLiteral("Auto"))));
    }
    for (const char* text : {"", "1 2 3 4", "1 2 1 1 0 9", "a 0 1 1 0", "0 0 3 1 0"}) {
        SCOPED_TRACE(text);
        store.values[calibrationKey][calibrationName(QStringLiteral("P"), QStringLiteral("Auto"))] = QString::fromLatin1(text);
        EXPECT_FALSE(loadCalibration(store, QStringLiteral("P"), QStringLiteral("Auto")));
    }
    // A store that cannot be written keeps nothing and says so.
    store.readOnlyKeys.insert(calibrationKey);
    EXPECT_FALSE(saveCalibration(store, QStringLiteral("Q"), QStringLiteral("Auto"), printerDistortion_t{}));
}
