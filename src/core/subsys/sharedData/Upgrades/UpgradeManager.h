#pragma once
// "UpgradeManager": the upgrades a player can gain during a run, registered by name, each with
// the callable that requests its effect and what the game shows when it is granted.
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

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

    // A name may be registered once; returns the new upgrade's index.
    uint32_t RegisterUpgrade(const std::string& name, std::function<void()> creator,
                             const std::string& text, const std::string& iconPath);
    // Tells m_onInvoke (when set) about the upgrade, then runs its creator.
    void InvokeUpgrade(uint32_t index);

    void SetUpgradeIcon(uint32_t index, int32_t element);
    int32_t GetUpgradeIcon(uint32_t index) const;
    void SetUpgradeTextObject(uint32_t index, int32_t text);
    int32_t GetUpgradeTextObject(uint32_t index) const;
    // Appends every registered index in list order.
    void GetUpgradeIndices(std::vector<uint32_t>& indices) const;

    // An upgrade's handle is its index here.
    StableArrayList<Upgrade> m_upgradeCreators;
    std::map<std::string, uint32_t> m_upgradeIndexMapping;
    // Told about every granted upgrade; empty until a system sets it.
    std::function<void(const Upgrade&)> m_onInvoke;
};

}  // namespace ztengine
