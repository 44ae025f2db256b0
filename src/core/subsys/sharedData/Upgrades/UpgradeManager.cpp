#include "core/subsys/sharedData/Upgrades/UpgradeManager.h"

#include <utility>

#include "core/util/assert/EngineAssert.h"

namespace ztengine {

uint32_t UpgradeManager::RegisterUpgrade(const std::string& name, std::function<void()> creator,
                                         const std::string& text, const std::string& iconPath)
{
    auto findName = m_upgradeIndexMapping.find(name);
    EngineAssert(findName == m_upgradeIndexMapping.end());
    Upgrade upgrade;
    upgrade.m_creator = std::move(creator);
    upgrade.m_text = text;
    upgrade.m_iconPath = iconPath;
    const uint32_t index = m_upgradeCreators.Add(upgrade);
    m_upgradeIndexMapping.emplace(name, index);
    return index;
}

void UpgradeManager::InvokeUpgrade(uint32_t index)
{
    EngineAssert(m_upgradeCreators.IsValidIndex(index));
    if (m_onInvoke)
        m_onInvoke(m_upgradeCreators.At(index));
    if (m_upgradeCreators.At(index).m_creator)
        m_upgradeCreators.At(index).m_creator();
}

void UpgradeManager::SetUpgradeIcon(uint32_t index, int32_t element)
{
    EngineAssert(m_upgradeCreators.IsValidIndex(index));
    m_upgradeCreators.At(index).m_iconElement = element;
}

int32_t UpgradeManager::GetUpgradeIcon(uint32_t index) const
{
    EngineAssert(m_upgradeCreators.IsValidIndex(index));
    return m_upgradeCreators.At(index).m_iconElement;
}

void UpgradeManager::SetUpgradeTextObject(uint32_t index, int32_t text)
{
    EngineAssert(m_upgradeCreators.IsValidIndex(index));
    m_upgradeCreators.At(index).m_textObject = text;
}

int32_t UpgradeManager::GetUpgradeTextObject(uint32_t index) const
{
    EngineAssert(m_upgradeCreators.IsValidIndex(index));
    return m_upgradeCreators.At(index).m_textObject;
}

void UpgradeManager::GetUpgradeIndices(std::vector<uint32_t>& indices) const
{
    for (uint32_t i = m_upgradeCreators.m_head; i != kInvalidIndex; i = m_upgradeCreators.Next(i))
        indices.push_back(i);
}

}  // namespace ztengine
