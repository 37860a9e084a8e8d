#include "LoadDiagnostics.h"

#include "SettingsKeys.h"

namespace zv {

std::string regionListPath(std::string_view listKey) {
    std::string path(listKey);
    path += '.';
    path += kData;
    return path;
}

std::string regionElementPath(std::string_view listKey, std::size_t index) {
    return regionListPath(listKey) + '[' + std::to_string(index) + ']';
}

const char* plistTypeName(const PlistValue& value) {
    if (value.isString()) return "string";
    if (value.isInteger()) return "integer";
    if (value.isReal()) return "real";
    if (value.isBoolean()) return "boolean";
    if (value.isData()) return "data";
    if (value.isDate()) return "date";
    if (value.isArray()) return "array";
    return "dictionary";
}

}  // namespace zv
