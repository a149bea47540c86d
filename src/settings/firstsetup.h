// The first start of a user: whether the unit question was answered, storing
// the answer with the marks that say so, and the failure codes of the file
// type's registration, kept in the store until a later start repairs it.
#pragma once

#include "settings/params.h"
#include "settings/store.h"

#include <cstdint>
#include <functional>

namespace settings {

// The marks a completed setup leaves: the file version of the program that
// completed it, and a fixed value.
constexpr int32_t setupVersion = 164;
constexpr int32_t setupMark = 6;

enum setupState_t : int32_t { setupNotDone = 0, setupByOlderVersion = 1, setupDone = 2 };

// Why a setup or registration step could not be stored; 0 when all went
// well. The registration's steps keep their codes in their order.
enum setupFailure_t : int32_t {
    setupFailureNone = 0,
    setupFailureUnits = 1,
    setupFailureVersion = 2,
    setupFailureMark = 3,
    registerFailureExtension = 30,     // the file name pattern and content of the type
    registerFailureContentType = 31,   // the type's icon
    registerFailureProductName = 32,   // the program's icon
    registerFailureOpenCommand = 33,   // the desktop entry with its open command
    registerFailureHandOver = 34,      // handing a file to the running editor
    registerFailureService = 35,
    registerFailureTopic = 36,
    registerFailureMimeDatabase = 37,  // the type's default program
};

// Values of the setup in the store's CustomSettings key.
inline const QString setupUnitsValue = QStringLiteral("units");
inline const QString setupVersionValue = QStringLiteral("sub");
inline const QString setupMarkValue = QStringLiteral("pac");
inline const QString registrationValue = QStringLiteral("ddeins");

// 0 unless "sub" reads and "pac" is 6; then 1 for an older program, 2 for this one.
setupState_t setupState(const settingsStore_t& store);

// Registers the document file type; returns the code of the last step that
// failed, 0 when every step was written.
using registrar_t = std::function<int32_t()>;

// Stores the chosen unit (2 millimetres, 3 inches) for new files of every
// design type but digital images, the setup marks, then registers the file
// type and records its outcome. Returns the last failure code (0 when none).
int32_t completeSetup(TParams& params, int32_t unit, const registrar_t& registerFileType);

// At every start: a registration that failed before is tried again until it
// succeeds once. Returns the code now recorded.
int32_t repairRegistration(settingsStore_t& store, const registrar_t& registerFileType);

} // namespace settings
