#include "settings/firstsetup.h"

#include "settings/pageset.h"

namespace settings {

namespace {

constexpr int32_t digitalImagesType = 9;  // keeps its pixels

} // namespace

setupState_t setupState(const settingsStore_t& store)
{
    int32_t version = 0, mark = 0;
    if (!store.readInt(keyCustomSettings, setupVersionValue, version)) return setupNotDone;
    if (!store.readInt(keyCustomSettings, setupMarkValue, mark) || mark != setupMark) return setupNotDone;
    return version < setupVersion ? setupByOlderVersion : setupDone;
}

int32_t completeSetup(TParams& params, int32_t unit, const registrar_t& registerFileType)
{
    int32_t failure = setupFailureNone;
    const unitScale_t scale = params.unitScale(unit);
    params.newFile.units = scale.unit;
    params.newFile.pxPerUnitX = scale.pxPerUnitX;
    params.newFile.pxPerUnitY = scale.pxPerUnitY;
    for (int32_t t = 1; t <= page::designTypeCount; ++t)
        if (t != digitalImagesType) params.pageSets[t - 1].unit = unit;

    settingsStore_t* store = params.store();
    const bool open = store && store->openKey(keyCustomSettings);
    auto write = [&](const QString& name, int32_t value, int32_t code) {
        if (!open || !store->writeInt(keyCustomSettings, name, value)) failure = code;
    };
    write(setupUnitsValue, params.newFile.units, setupFailureUnits);
    write(setupVersionValue, setupVersion, setupFailureVersion);
    write(setupMarkValue, setupMark, setupFailureMark);
    if (const int32_t code = registerFileType ? registerFileType() : 0) failure = code;
    if (open) store->writeInt(keyCustomSettings, registrationValue, failure);
    // The answer is kept at once, not only when the run ends.
    params.commit();
    return failure;
}

int32_t repairRegistration(settingsStore_t& store, const registrar_t& registerFileType)
{
    int32_t last = 0;
    if (!store.readInt(keyCustomSettings, registrationValue, last) || last <= 0) return 0;
    const int32_t failure = registerFileType ? registerFileType() : 0;
    if (store.openKey(keyCustomSettings)) store.writeInt(keyCustomSettings, registrationValue, failure);
    store.commit();
    return failure;
}

} // namespace settings
