#pragma once

#include "../presets/PresetTestSupport.h"

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace tw::test
{
using Browser = qmrk_gui::PresetComponent;
using Chooser = Browser::Chooser;

/** The browser with its dialogs answered by the test instead of the user. */
class TestBrowser : public Browser
{
public:
    using Browser::Browser;

    /** Answers the open dialog (an empty file cancels it); false when none is open. */
    bool answer (const juce::File& file)
    {
        if (pending == nullptr)
            return false;

        // The answer may open the next dialog, which sets pending again.
        auto callback = std::exchange (pending, nullptr);
        callback (file);
        return true;
    }

    std::vector<Chooser> launched;
    std::function<void (const juce::File&)> pending;

protected:
    void launchChooser (Chooser chooser, std::function<void (const juce::File&)> onResult) override
    {
        launched.push_back (chooser);
        pending = std::move (onResult);
    }
};

/** One line per menu entry: "[Header]", "---", "Submenu >" with its entries indented, "id Text". */
inline std::vector<std::string> outline (const juce::PopupMenu& menu, const std::string& indent = {})
{
    std::vector<std::string> lines;

    for (juce::PopupMenu::MenuItemIterator it (menu); it.next();)
    {
        const auto& item = it.getItem();

        if (item.isSeparator)
            lines.push_back (indent + "---");
        else if (item.isSectionHeader)
            lines.push_back (indent + "[" + item.text.toStdString() + "]");
        else if (item.subMenu != nullptr)
        {
            lines.push_back (indent + item.text.toStdString() + " >");

            for (auto& line : outline (*item.subMenu, indent + "  "))
                lines.push_back (std::move (line));
        }
        else
            lines.push_back (indent + std::to_string (item.itemID) + " " + item.text.toStdString());
    }

    return lines;
}

/** A factory library shaped like the product's, small enough to spell out in tests. */
struct BrowserLibrary
{
    BrowserLibrary()
    {
        FakePresetProcessor maker;

        for (int i = 0; i < 6; ++i)
            blobs.push_back (maker.makePreset (0.1f * (float) (i + 1), i + 1, i % 2 == 0));
    }

    [[nodiscard]] std::vector<Manager::FactoryCategoryInfo> rows() const
    {
        const auto preset = [this] (const char* name, size_t index, bool isDefault = false) {
            return Manager::FactoryPresetInfo { name, blobs[index].getData(), (int) blobs[index].getSize(), isDefault };
        };

        return {
            { "Guitar//Clean//Modulation", { preset ("Cowboy bebop", 0), preset ("Down the well", 1) }, {}, false },
            { "Guitar//Clean", {}, { "Guitar//Clean//Modulation" }, false },
            { "Guitar//Chords", { preset ("Wet", 2) }, {}, false },
            { "Guitar", {}, { "Guitar//Clean", "Guitar//Chords" }, false },
            { "Reverb", { preset ("Howl", 3) }, {}, false },
            { "Root", { preset ("Default", 4, true), preset ("Low", 5) }, { "Guitar", "Reverb" }, true },
        };
    }

    /** The Mix value that preset blob index holds. */
    static float mixOf (size_t index) { return 0.1f * (float) (index + 1); }

    std::vector<juce::MemoryBlock> blobs;
};

/** A processor, its manager started as the plug-in starts it, and the browser on top. */
struct BrowserTest : ::testing::Test
{
    ~BrowserTest() override
    {
        browser.reset();
        processor.manager = nullptr;
    }

    juce::File userFile (const juce::String& relativePath) const { return users.getChildFile (relativePath); }

    juce::File addUserFile (const juce::String& relativePath, float mix = 0.77f)
    {
        const auto file = userFile (relativePath);
        EXPECT_TRUE (writeBytes (file, maker.makePreset (mix, 4, false)));
        return file;
    }

    TestBrowser& start()
    {
        manager = std::make_unique<Manager> (processor, "Tw10", users);
        processor.manager = manager.get();
        EXPECT_TRUE (manager->initialise (library.rows()));
        browser = std::make_unique<TestBrowser> (lnf, *manager);
        return *browser;
    }

    /** Chooses a menu entry as the popup menu does: the notification arrives asynchronously. */
    void pick (int id)
    {
        browser->setSelectedId (id, juce::sendNotificationAsync);
        deliverPendingMessages();
    }

    int factoryId (const char* name) const { return manager->findFactoryPreset (name)->id; }
    int userId (const juce::File& file) const { return manager->findUserPreset (file)->id; }
    std::vector<std::string> menu() const { return outline (*browser->getRootMenu()); }
    std::string label() const { return browser->getText().toStdString(); }

    static bool contains (const std::vector<std::string>& lines, const std::string& line)
    {
        return std::find (lines.begin(), lines.end(), line) != lines.end();
    }

    TempFolder temp;
    juce::File users { temp.get().getChildFile ("Presets") };
    bool usersCreated = users.createDirectory().wasOk();
    BrowserLibrary library;
    FakePresetProcessor maker; // writes preset files without touching the processor under test
    FakePresetProcessor processor;
    std::unique_ptr<Manager> manager;
    qmrk_gui::LookAndFeel lnf { juce::Font(),
                                juce::Font(),
                                juce::Font(),
                                qmrk_gui::LookAndFeel::standardAccent,
                                qmrk_gui::LookAndFeel::standardOutline,
                                qmrk_gui::LookAndFeel::standardBackground,
                                qmrk_gui::LookAndFeel::standardText };
    std::unique_ptr<TestBrowser> browser;
};

} // namespace tw::test
