#include "SettingsCheck.h"

#include "ItemCatalogue.h"
#include "LoadDiagnostics.h"
#include "NearestKey.h"
#include "SettingsFileAccess.h"
#include "SettingsKeys.h"
#include "SettingsLoader.h"
#include "Wording.h"

namespace zv::tools {

namespace {

// The file under check as a phone's settings file: the only file there is.
// Writes (the migration's) are counted, never made.
class CheckedFileAccess final : public SettingsFileAccess {
public:
    explicit CheckedFileAccess(const InputFile& input) : input_(input) {}
    std::optional<PlistDictionary> read(std::string_view devicePath) override {
        if (devicePath != kSettingsPath) return std::nullopt;
        return input_.settings;
    }
    std::optional<PlistDictionary> readNotingDroppedKeys(std::string_view devicePath,
                                                         std::vector<DroppedPlistKey>& dropped) override {
        if (devicePath == kSettingsPath) dropped = input_.droppedKeys;
        return read(devicePath);
    }
    bool write(std::string_view, const PlistDictionary&) override { return true; }

private:
    const InputFile& input_;
};

// Collects the loader's findings in its order.
class FindingCollector final : public LoadDiagnostics {
public:
    void report(LoadFinding finding) override { findings.push_back(std::move(finding)); }
    std::vector<LoadFinding> findings;
};

// The list key a key path starts with ("left" of "left.data[2]").
std::string_view listKeyOf(std::string_view path) { return path.substr(0, path.find('.')); }

std::string whatTheListDoes(std::string_view listKey) {
    if (listKey == kHidden) return "the item is hidden";
    if (listKey == kDefault) return "the system places the item";
    return "the item is placed in " + std::string(listKey) + " at this position";
}

const char* skippedTail = ": skipped (the names after it keep their positions)";

bool hasOtherLists(const InputFile& input) {
    if (!input.settings) return false;
    for (const char* key : {kLeft, kCenter, kRight, kHidden}) {
        if (input.settings->count(key) != 0) return true;
    }
    return false;
}

Finding describe(const LoadFinding& found, const InputFile& input) {
    Finding finding{Severity::Warning, {}, printable(found.path), {}, {}};
    const std::string value = printable(found.value);
    switch (found.kind) {
    case LoadFindingKind::SettingsFileUnreadable:
        finding.severity = Severity::Error;
        finding.kind = "unreadable";
        finding.message = input.problem + "; the plug-in switches itself off for such a settings file "
                                          "(a profile like it fails to load)";
        break;
    case LoadFindingKind::KeyNotText:
        finding.kind = "keyNotText";
        finding.message = "the key " + quoted(found.value) + " holds " +
                          (found.detail == "surrogate" ? "a lone UTF-16 surrogate"
                           : found.detail == "notUtf8" ? "bytes that are not UTF-8"
                                                       : "a NUL character") +
                          ", so it names no key: the entry is ignored";
        break;
    case LoadFindingKind::PluginOff:
        finding.kind = "pluginOff";
        finding.message = found.value.empty() ? "no enabled key: the plug-in stays off (add enabled = true to switch it on)"
                                              : "enabled is false: the plug-in stays off";
        break;
    case LoadFindingKind::SwitchWrongType:
        finding.kind = "switchWrongType";
        finding.message = typePhrase(value) + ", not a boolean: the plug-in uses the default, " + found.detail;
        break;
    case LoadFindingKind::UnknownKey:
        finding.kind = "unknownKey";
        finding.message = "unknown key, ignored";
        if (auto nearest = nearestSettingsKey(found.path)) {
            finding.suggestion = *nearest;
            finding.message += "; did you mean " + *nearest + "?";
        }
        break;
    case LoadFindingKind::NoPlacement:
        finding.kind = "noPlacement";
        finding.message = found.value.empty() ? "no default record" : typePhrase(value) + ", not a region record";
        finding.message += ": the plug-in builds no placement table, every item stays where the system puts it";
        if (hasOtherLists(input)) finding.message += " (the other lists are not read)";
        break;
    case LoadFindingKind::RegionRecordWrongType:
        finding.kind = "regionRecordWrongType";
        finding.message = typePhrase(value) + ", not a region record (a dictionary with data): the region counts as empty";
        break;
    case LoadFindingKind::RegionListMissing:
        finding.kind = "regionListMissing";
        finding.message = "the region record has no data list: the region counts as empty";
        break;
    case LoadFindingKind::RegionListWrongType:
        finding.kind = "regionListWrongType";
        finding.message = typePhrase(value) + ", not a list: the region counts as empty";
        break;
    case LoadFindingKind::ElementWrongType:
        finding.kind = "elementWrongType";
        finding.message = typePhrase(value) + ", not a name" + skippedTail;
        break;
    case LoadFindingKind::ElementTooShort:
        finding.kind = "elementTooShort";
        finding.message = quoted(found.value) + " is shorter than two characters" + skippedTail;
        break;
    case LoadFindingKind::UnknownItem:
        finding.kind = "unknownItem";
        finding.message = quoted(found.value) + ": no catalogue item has the key " +
                          quoted(std::string_view(found.value).substr(0, 2)) +
                          "; the plug-in keeps the entry, which moves no item it knows";
        break;
    case LoadFindingKind::LabelMismatch:
        finding.kind = "labelMismatch";
        finding.message = quoted(found.value) + ": key " + found.detail.substr(0, 2) + " is " + quoted(found.detail) +
                          " in the catalogue; the plug-in goes by the key, so this places " + quoted(found.detail);
        break;
    case LoadFindingKind::ItemListedAgain: {
        finding.kind = "itemListedAgain";
        const std::string_view later = listKeyOf(found.path);
        finding.message = quoted(found.value) + ": item " + printable(std::string_view(found.value).substr(0, 2)) +
                          " is also listed at " + printable(found.detail) + "; ";
        if (later == listKeyOf(found.detail)) {
            finding.message += "the later position decides";
        } else {
            finding.message += std::string(later) + " is read later, so " + whatTheListDoes(later);
        }
        break;
    }
    case LoadFindingKind::SpacerRaisesOrder:
        finding.severity = Severity::Note;
        finding.kind = "spacer";
        finding.message = "spacer " + quoted(found.value) + ": the names after it in " +
                          std::string(listKeyOf(found.path)) + " get their position plus " + std::to_string(kSpacerOffset) + " as their order";
        break;
    case LoadFindingKind::SpacerWithoutEffect:
        finding.severity = Severity::Note;
        finding.kind = "spacerWithoutEffect";
        finding.message = "spacer " + quoted(found.value) + ": an earlier spacer in " +
                          std::string(listKeyOf(found.path)) + " has raised the order already; this one adds nothing";
        break;
    case LoadFindingKind::SchemaWrongType:
        finding.kind = "schemaWrongType";
        finding.message = typePhrase(value) + ", not text: no conversion, the lists are used as they stand";
        break;
    case LoadFindingKind::SchemaUnknown:
        finding.kind = "schemaUnknown";
        finding.message = "unknown version " + quoted(found.value) +
                          ": no conversion, the file is left as it is and its lists are used as they stand";
        break;
    case LoadFindingKind::MigrationStep:
        finding.severity = Severity::Note;
        finding.kind = "migration";
        finding.message = (found.value.empty() ? std::string("no version (read as 1.0)") : "version " + quoted(found.value)) +
                          ": the first load converts the file to " + found.detail + " and writes it back";
        break;
    case LoadFindingKind::ItemRenumbered:
        finding.severity = Severity::Note;
        finding.kind = "renumbered";
        finding.message = "the conversion renames " + quoted(found.value) + " to " + quoted(found.detail);
        break;
    case LoadFindingKind::ItemAdded:
        finding.severity = Severity::Note;
        finding.kind = "added";
        finding.message = "the conversion appends " + quoted(found.value) + " to default";
        break;
    }
    return finding;
}

}  // namespace

int CheckResult::exitStatus() const {
    int status = kCheckClean;
    for (const Finding& finding : findings) {
        if (finding.severity == Severity::Error) return kCheckUnusable;
        if (finding.severity == Severity::Warning) status = kCheckWarnings;
    }
    return status;
}

CheckResult checkSettings(const InputFile& input) {
    CheckedFileAccess files(input);
    FindingCollector collector;
    PluginSettings settings;
    loadSettingsFrom(files, settings, &collector);

    CheckResult result;
    result.findings.reserve(collector.findings.size());
    for (const LoadFinding& found : collector.findings) result.findings.push_back(describe(found, input));
    return result;
}

const char* severityName(Severity severity) {
    switch (severity) {
    case Severity::Note:
        return "note";
    case Severity::Warning:
        return "warning";
    case Severity::Error:
        return "error";
    }
    return "error";
}

}  // namespace zv::tools
