#include "PlacementBuilder.h"

#include <optional>
#include <unordered_map>

#include "ItemCatalogue.h"
#include "Region.h"
#include "RegionRecord.h"

namespace zv {

namespace {

bool isOrderedRegion(Region region) {
    return region == Region::Left || region == Region::Center || region == Region::Right;
}

bool isSpacerKey(std::string_view key) { return key == kSpacerKey1 || key == kSpacerKey2; }

// What the build tells a diagnostics sink; made only when there is one.
class BuildReport {
public:
    explicit BuildReport(LoadDiagnostics& sink) : sink_(sink) {}

    void missingList(const PlistDictionary& settings, std::string_view listKey) {
        reportMissingRegionList(settings, listKey, sink_);
    }

    void skippedElement(std::string_view listKey, std::size_t i, const PlistValue& element) {
        const std::string* name = element.string();
        if (name) {
            sink_.report({LoadFindingKind::ElementTooShort, regionElementPath(listKey, i), *name, {}});
        } else {
            sink_.report({LoadFindingKind::ElementWrongType, regionElementPath(listKey, i), plistTypeName(element), {}});
        }
    }

    void spacer(std::string_view listKey, std::size_t i, const std::string& name, bool first) {
        sink_.report({first ? LoadFindingKind::SpacerRaisesOrder : LoadFindingKind::SpacerWithoutEffect,
                      regionElementPath(listKey, i), name, {}});
    }

    void entry(std::string_view listKey, std::size_t i, const std::string& name) {
        const std::string path = regionElementPath(listKey, i);
        const std::string_view key = std::string_view(name).substr(0, 2);
        const std::optional<std::string_view> known = catalogueName(key);
        if (!known) {
            sink_.report({LoadFindingKind::UnknownItem, path, name, {}});
        } else if (*known != name) {
            sink_.report({LoadFindingKind::LabelMismatch, path, name, std::string(*known)});
        }
        auto [earlier, first] = entryPaths_.try_emplace(std::string(key), path);
        if (!first) {
            sink_.report({LoadFindingKind::ItemListedAgain, path, name, earlier->second});
            earlier->second = path;
        }
    }

private:
    LoadDiagnostics& sink_;
    std::unordered_map<std::string, std::string> entryPaths_;  // key -> path of its entry so far
};

}  // namespace

PlacementTable buildPlacementTable(const PlistDictionary& settings, LoadDiagnostics* diagnostics) {
    std::optional<BuildReport> report;
    if (diagnostics) report.emplace(*diagnostics);

    PlacementTable table;
    for (const RegionList& region : kRegionReadOrder) {
        const PlistArray* list = regionList(settings, region.key);
        if (!list) {
            if (report) report->missingList(settings, region.key);
            continue;
        }
        const bool ordered = isOrderedRegion(region.region);
        const auto alignment = static_cast<std::int32_t>(region.region);
        std::int64_t offset = 0;
        for (std::size_t i = 0; i < list->size(); ++i) {
            const std::string* name = (*list)[i].string();
            if (!name || name->size() < 2) {
                if (report) report->skippedElement(region.key, i, (*list)[i]);
                continue;
            }
            const std::string_view key = std::string_view(*name).substr(0, 2);
            if (ordered && isSpacerKey(key)) {
                if (report) report->spacer(region.key, i, *name, offset == 0);
                offset = kSpacerOffset;
                continue;
            }
            if (report) report->entry(region.key, i, *name);
            table.set(key, PlacementEntry{alignment, static_cast<std::int64_t>(i) + offset});
        }
    }
    return table;
}

}  // namespace zv
