// The sound resource editor: the audio listing, the registry file, the two windows and their
// play and create buttons.
#include "core/subsys/Editors/SoundResourceEditor/SoundResourceEditor.h"

#include <cstring>
#include <map>

#include "core/App.h"
#include "core/graphics/framework/Graphics3D.h"
#include "core/gui/Gui.h"
#include "core/resources/SoundManager.h"
#include "core/sound/SoundSystem.h"
#include "core/subsys/Editors/EditorCommon.h"
#include "core/util/FileUtils.h"

namespace ztengine {

namespace {

bool IsIndexOf(const int* selection, size_t size)
{
    return selection != nullptr && *selection >= 0 && static_cast<size_t>(*selection) < size;
}

void RebuildIfResized(std::vector<std::string>& names,
                      const std::map<std::string, std::string>& files)
{
    if (names.size() == files.size())
        return;
    names.clear();
    for (const auto& entry : files)
        names.push_back(entry.first);
}

// The id of a registered name. A name read from the registry file was never loaded: it is
// loaded now from its file and keeps the id, so it plays its own file rather than whatever
// holds index 0.
template <class LoadFn>
int32_t IdOf(const std::string& name, std::map<std::string, int32_t>& ids,
             const std::map<std::string, std::string>& files, LoadFn load)
{
    if (const auto id = ids.find(name); id != ids.end())
        return id->second;
    const int32_t id = load(files.at(name));
    ids[name] = id;
    return id;
}

}  // namespace

SoundResourceEditor::SoundResourceEditor(App* app)
    : Subsystem(app),
      m_soundManager(app->GetSharedData<SoundManager>("SoundManager")),
      m_soundSystem(app->GetSoundSystem())
{
    std::memset(m_name, 0, sizeof(m_name));
}

void SoundResourceEditor::Init()
{
    ListFiles(std::string(kAudioFolder) + kAudioPattern, m_audioFiles);
    m_soundManager->Load(RegistryPath());

    Gui& gui = Gui::Instance();
    m_currentAudioWindow = gui.CreateWindow("Current Audio", true, 350.0f, 200.0f);
    const int sounds = gui.AddCollapsingHeader(m_currentAudioWindow, "Sounds");
    const int soundList =
        gui.AddDropDownList(m_currentAudioWindow, "Sound List", &m_soundNames, sounds);
    m_soundSelection = gui.GetDropDownListSelection(m_currentAudioWindow, soundList);
    gui.AddButton(m_currentAudioWindow, "Play Sound", [this]() { PlaySound(); }, sounds);
    const int music = gui.AddCollapsingHeader(m_currentAudioWindow, "BGM");
    const int musicList = gui.AddDropDownList(m_currentAudioWindow, "BGM List", &m_musicNames, music);
    m_musicSelection = gui.GetDropDownListSelection(m_currentAudioWindow, musicList);
    gui.AddButton(m_currentAudioWindow, "Play BGM", [this]() { PlayBGM(); }, music);

    m_createAudioWindow = gui.CreateWindow("Create Audio", true, 350.0f, 200.0f);
    const int audioList = gui.AddDropDownList(m_createAudioWindow, "Audio List", &m_audioFiles);
    m_audioSelection = gui.GetDropDownListSelection(m_createAudioWindow, audioList);
    gui.AddInputText(m_createAudioWindow, "Sound/BGM Name", m_name);
    gui.AddButton(m_createAudioWindow, "Create Sound", [this]() { CreateSound(); });
    gui.AddButton(m_createAudioWindow, "Create BGM", [this]() { CreateBGM(); });
    gui.AddTextRef(m_createAudioWindow, &m_status);

    SetEditorWindowsVisible(gui.GetManager(), {m_currentAudioWindow, m_createAudioWindow}, false);
}

void SoundResourceEditor::Update(float /*dt*/)
{
    SyncNameLists();
}

void SoundResourceEditor::SetToCurrentState()
{
    SetEditorWindowsVisible(Gui::Instance().GetManager(),
                            {m_currentAudioWindow, m_createAudioWindow}, true);
    ShowEditorCursor(*m_app);
}

void SoundResourceEditor::NextState(int /*newState*/)
{
    SetEditorWindowsVisible(Gui::Instance().GetManager(),
                            {m_currentAudioWindow, m_createAudioWindow}, false);
    HideEditorCursor(*m_app);
}

void SoundResourceEditor::SyncNameLists()
{
    RebuildIfResized(m_musicNames, m_soundManager->m_musicFiles);
    RebuildIfResized(m_soundNames, m_soundManager->m_soundFiles);
}

void SoundResourceEditor::PlaySound()
{
    if (!IsIndexOf(m_soundSelection, m_soundNames.size()))
        return;
    const std::string& name = m_soundNames[static_cast<size_t>(*m_soundSelection)];
    // The list may trail the registry by a frame; only a name it still holds is played.
    if (!m_soundManager->HasSound(name))
        return;
    const int32_t sound =
        IdOf(name, m_soundManager->m_soundIds, m_soundManager->m_soundFiles,
             [this](const std::string& file) { return m_soundSystem->LoadSound(file); });
    const int32_t instance = m_soundSystem->CreateSoundInstance(sound);
    m_soundSystem->m_listenerPosition = m_graphics->GetCameraPosition();
    m_soundSystem->PlayInstance(instance);
}

void SoundResourceEditor::PlayBGM()
{
    if (!IsIndexOf(m_musicSelection, m_musicNames.size()))
        return;
    const std::string& name = m_musicNames[static_cast<size_t>(*m_musicSelection)];
    if (!m_soundManager->HasBGM(name))
        return;
    const int32_t music =
        IdOf(name, m_soundManager->m_musicIds, m_soundManager->m_musicFiles,
             [this](const std::string& file) { return m_soundSystem->LoadBGM(file); });
    m_soundSystem->PlayBGM(music, 0.0f);
}

void SoundResourceEditor::CreateSound()
{
    Create(Kind::Sound);
}

void SoundResourceEditor::CreateBGM()
{
    Create(Kind::Music);
}

void SoundResourceEditor::Create(Kind kind)
{
    const std::string name(m_name, strnlen(m_name, kNameSize));
    if (!IsIndexOf(m_audioSelection, m_audioFiles.size()) || name.empty())
        return;
    const std::string& file = m_audioFiles[static_cast<size_t>(*m_audioSelection)];
    if (kind == Kind::Sound)
        m_soundManager->AddSound(*m_soundSystem, name, file);
    else
        m_soundManager->AddBGM(*m_soundSystem, name, file);
    std::memset(m_name, 0, sizeof(m_name));
    m_soundManager->Save(RegistryPath());
    // The name is known for this run only when the registry could not be read at start-up.
    if (m_soundManager->KeepsUnreadableFile(RegistryPath()))
        m_status = KeptUnreadableFileStatus(RegistryPath());
}

}  // namespace ztengine
