#pragma once
// "UpgradeManager": the upgrades a player can gain during a run, registered by name, each with
// the callable that requests its effect and what the game shows when it is granted.
#include <cstdint>
#include <functional>
#include <map>
#include <string>

#include "core/util/cont/StableArrayList.h"

namespace ztengine {

struct Upgrade {
    std::function<void()> m_creator;
    std::string m_text;
    std::string m_iconPath;
    int32_t m_iconElement = -1;
    int32_t m_textObject = -1;
};

class UpgradeManager {
public:
    UpgradeManager() : m_upgradeCreators(64) {}

    // An upgrade's handle is its index here.
    StableArrayList<Upgrade> m_upgradeCreators;
    std::map<std::string, uint32_t> m_upgradeIndexMapping;
    // Told about every granted upgrade; empty until a system sets it.
    std::function<void(const Upgrade&)> m_onInvoke;
};

}  // namespace ztengine
