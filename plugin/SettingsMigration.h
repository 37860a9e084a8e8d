// Carries a settings dictionary of an older schema forward, one version at a
// time: "1.0" (or no schemaVersion) to "1.1", then "1.1" to "1.2". A
// dictionary of schema "1.2", of a version this system does not know, or
// whose schemaVersion is not text is left as it is: its layout cannot be
// known, and rewriting it could destroy a newer writer's data.
//
// The steps change only the dictionary; the loader writes it after each step.
#pragma once

#include <optional>

#include "LoadDiagnostics.h"
#include "foundation/plist/PropertyList.h"

namespace zv {

enum class MigrationStep {
    To11,  // sets "1.1" and appends "09 NotCharging" to `default`
    To12,  // sets "1.2", renumbers every list and appends the 1.2 names to `default`
};

// The step the dictionary needs next, or none when it is current or unknown.
// An unknown or non-text version is reported to `diagnostics`.
std::optional<MigrationStep> nextMigrationStep(const PlistDictionary& settings,
                                               LoadDiagnostics* diagnostics = nullptr);

// Applies one step. Each list it touches is put back as a fresh region
// record holding only that list; a record without a list stays as it is.
// The step, each renumbered and each added name go to `diagnostics`.
void applyMigrationStep(MigrationStep step, PlistDictionary& settings, LoadDiagnostics* diagnostics = nullptr);

// Replaces each element that equals an old name of kItemRenumbering by the
// row's new name. Every element is compared as it was before, so it changes
// at most once; anything else, text or not, stays. Each change goes to
// `diagnostics`, with its path in the list under `listKey`.
void applyItemRenumbering(PlistArray& list, LoadDiagnostics* diagnostics = nullptr, std::string_view listKey = {});

}  // namespace zv
