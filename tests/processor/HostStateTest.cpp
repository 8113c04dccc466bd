#include "ProcessorFixtures.h"

using namespace tw::test;

namespace
{
juce::MemoryBlock blobOf (const juce::String& xmlText)
{
    juce::MemoryBlock blob;
    juce::MemoryOutputStream out (blob, false);
    out.writeInt (0x21324356);
    out.writeInt (static_cast<int> (xmlText.getNumBytesAsUTF8()));
    out << xmlText;
    out.writeByte (0);
    return blob;
}

juce::String documentWith (const juce::String& root, const juce::String& children)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?> <" + root + ">" + children + "</" + root + ">";
}

std::vector<float> parameterValues (PluginProcessor& p)
{
    std::vector<float> values;
    for (auto* param : p.getParameters())
        values.push_back (param->getValue());
    return values;
}

class HostStateTest : public ::testing::Test
{
protected:
    IsolatedHome home;
    PluginProcessor processor;
};
} // namespace

TEST_F (HostStateTest, BlobHasTheHeaderLengthAndSingleLineDocument)
{
    juce::MemoryBlock blob;
    processor.getStateInformation (blob);
    ASSERT_GT (blob.getSize(), 9u);

    const auto* bytes = static_cast<const char*> (blob.getData());
    EXPECT_EQ (juce::String (bytes, 4), "VC2!");
    const auto length = juce::ByteOrder::littleEndianInt (bytes + 4);
    EXPECT_EQ (length, blob.getSize() - 9);
    EXPECT_EQ (bytes[blob.getSize() - 1], 0);

    const juce::String text (juce::CharPointer_UTF8 (bytes + 8), juce::CharPointer_UTF8 (bytes + 8 + length));
    EXPECT_TRUE (text.startsWith ("<?xml"));
    EXPECT_FALSE (text.containsAnyOf ("\r\n"));

    auto xml = juce::parseXML (text);
    ASSERT_NE (xml, nullptr);
    EXPECT_TRUE (xml->hasTagName ("Tw10"));
    EXPECT_EQ (xml->getStringAttribute ("CompanyName"), "Quillmark");
    EXPECT_EQ (xml->getStringAttribute ("ProductNameWithoutVersion"), "Tanglewave");
    EXPECT_EQ (xml->getStringAttribute ("ProductVersion"), "1.0.1");
    EXPECT_EQ (xml->getNumChildElements(), ModelTree::numParameters);
}

TEST_F (HostStateTest, PresetAttributesAreWrittenOnlyWithPresetInformation)
{
    juce::MemoryBlock withInfo, withoutInfo;
    processor.getState (withInfo, true);
    processor.getState (withoutInfo, false);

    auto with = juce::AudioProcessor::getXmlFromBinary (withInfo.getData(), static_cast<int> (withInfo.getSize()));
    auto without =
        juce::AudioProcessor::getXmlFromBinary (withoutInfo.getData(), static_cast<int> (withoutInfo.getSize()));
    ASSERT_NE (with, nullptr);
    ASSERT_NE (without, nullptr);
    EXPECT_TRUE (with->hasAttribute ("LoadedPreset"));
    EXPECT_TRUE (with->hasAttribute ("LoadedPresetModified"));
    EXPECT_FALSE (without->hasAttribute ("LoadedPreset"));
    EXPECT_FALSE (without->hasAttribute ("LoadedPresetModified"));
}

TEST_F (HostStateTest, RoundTripRestoresEveryParameterInAFreshInstance)
{
    juce::Random random (7);
    for (auto* param : processor.getParameters())
        param->setValueNotifyingHost (random.nextFloat());

    juce::MemoryBlock blob;
    processor.getStateInformation (blob);

    PluginProcessor fresh;
    fresh.getModel().getUndoManager().beginNewTransaction();
    fresh.getParameters()[0]->setValueNotifyingHost (0.123f);
    fresh.setStateInformation (blob.getData(), static_cast<int> (blob.getSize()));

    for (int i = 0; i < processor.getParameters().size(); ++i)
        EXPECT_EQ (fresh.getParameters()[i]->getCurrentValueAsText(),
                   processor.getParameters()[i]->getCurrentValueAsText())
            << "parameter " << i;
    EXPECT_FALSE (fresh.getModel().getUndoManager().canUndo());
}

// JUCE reports only changed values; a parameter that ends where it started must still drive its stage.
TEST_F (HostStateTest, RestoredStateSoundsIdenticalToTheSavedInstance)
{
    setParameter (processor, "DriverDelay", 0.5f);
    setParameter (processor, "DriverDelay", 0.7f);
    setParameter (processor, "DriverDelay", 0.5f);

    juce::MemoryBlock blob;
    processor.getStateInformation (blob);

    PluginProcessor fresh;
    ASSERT_TRUE (fresh.setState (blob.getData(), static_cast<int> (blob.getSize())));
    EXPECT_FLOAT_EQ (fresh.driver.delay.getValue (false), 52.5f);

    for (auto* p : { &processor, &fresh })
        p->prepareToPlay (44100.0, 512);
    auto a = makeTestSignal (2, 22050, 44100.0);
    auto b = a;
    processInBlocks (processor, a, 512);
    processInBlocks (fresh, b, 512);
    for (int ch = 0; ch < 2; ++ch)
        for (int i = 0; i < a.getNumSamples(); ++i)
            ASSERT_EQ (a.getSample (ch, i), b.getSample (ch, i)) << ch << ":" << i;
}

TEST_F (HostStateTest, UnusableBlobsAreRefusedAndChangeNothing)
{
    setParameter (processor, "Mix", 0.3f);
    processor.getModel().getUndoManager().beginNewTransaction();
    setParameter (processor, "Mix", 0.31f);
    const auto before = parameterValues (processor);

    juce::MemoryBlock valid;
    processor.getStateInformation (valid);

    auto withLength = [] (juce::MemoryBlock blob, juce::uint32 length)
    {
        juce::ByteOrder::littleEndianInt (static_cast<char*> (blob.getData()) + 4);
        std::memcpy (static_cast<char*> (blob.getData()) + 4, &length, 4);
        return blob;
    };
    auto nested = juce::String();
    for (int i = 0; i < 100000; ++i)
        nested << "<a>";

    struct Case
    {
        const char* what;
        juce::MemoryBlock blob;
    };
    const Case cases[] = {
        { "empty", {} },
        { "eight bytes", juce::MemoryBlock (valid.getData(), 8) },
        { "wrong magic",
          [&]
          {
              auto b = valid;
              static_cast<char*> (b.getData())[0] = 'X';
              return b;
          }() },
        { "zero length", withLength (valid, 0) },
        { "negative length", withLength (valid, 0x80000000u) },
        { "not xml", blobOf ("this is not xml at all") },
        { "other root", blobOf (documentWith ("Other", "<PARAM id=\"Mix\" value=\"1\"/>")) },
        { "invalid utf-8", blobOf (juce::String (juce::CharPointer_UTF8 ("<Tw10 a=\"\xff\xfe\"/>"))) },
        { "raw invalid utf-8",
          []
          {
              juce::MemoryBlock b = blobOf ("<Tw10 a=\"xx\"/>");
              static_cast<char*> (b.getData())[18] = '\xff';
              return b;
          }() },
        { "deep nesting", blobOf ("<Tw10>" + nested) },
        { "entity expansion", blobOf ("<!DOCTYPE Tw10 [<!ENTITY a \"aaaa\">]><Tw10 x=\"&a;\"/>") },
        // JUCE's parser never returns from a processing instruction followed by text in an element.
        { "processing instruction in the document",
          blobOf ("<?xml version=\"1.0\"?><Tw10><?p?>T<PARAM id=\"Mix\" value=\"1\"/></Tw10>") },
    };

    for (const auto& c : cases)
    {
        EXPECT_FALSE (processor.setState (c.blob.getData(), static_cast<int> (c.blob.getSize()))) << c.what;
        EXPECT_EQ (parameterValues (processor), before) << c.what;
        EXPECT_TRUE (processor.getModel().getUndoManager().canUndo()) << c.what;
    }
    EXPECT_FALSE (processor.setState (nullptr, 100));
}

TEST_F (HostStateTest, AcceptsTheRootTagInAnyCaseAndLengthsThatOverstate)
{
    auto blob = blobOf (documentWith ("tw10", "<PARAM id=\"Mix\" value=\"0.25\"/>"));
    EXPECT_TRUE (processor.setState (blob.getData(), static_cast<int> (blob.getSize())));
    EXPECT_FLOAT_EQ (processor.getModel().getRawParameterValue ("Mix")->load(), 0.25f);

    auto overstated = blobOf (documentWith ("Tw10", "<PARAM id=\"Mix\" value=\"0.75\"/>"));
    const juce::uint32 hugeLength = 0x7fffffff;
    std::memcpy (static_cast<char*> (overstated.getData()) + 4, &hugeLength, 4);
    EXPECT_TRUE (processor.setState (overstated.getData(), static_cast<int> (overstated.getSize())));
    EXPECT_FLOAT_EQ (processor.getModel().getRawParameterValue ("Mix")->load(), 0.75f);
}

TEST_F (HostStateTest, MissingBadOrDuplicateParamsFallBackSafely)
{
    setParameter (processor, "DriverFeedback", 0.9f);
    auto blob =
        blobOf (documentWith ("Tw10", "<PARAM id=\"Mix\" value=\"nan\"/>"
                                      "<PARAM id=\"OutputGain\" value=\"inf\"/>"
                                      "<PARAM id=\"PLayers\" value=\"400\"/>"
                                      "<PARAM id=\"CDepth_a\" value=\"0.1\"/><PARAM id=\"CDepth_a\" value=\"0.2\"/>"
                                      "<PARAM id=\"NoSuchThing\" value=\"1\"/><OTHER/>"));
    ASSERT_TRUE (processor.setState (blob.getData(), static_cast<int> (blob.getSize())));

    auto raw = [this] (const char* id) { return processor.getModel().getRawParameterValue (id)->load(); };
    EXPECT_FLOAT_EQ (raw ("DriverFeedback"), 0.5f); // no child: default
    EXPECT_FLOAT_EQ (raw ("Mix"), 0.5f);            // not a number: default
    EXPECT_FLOAT_EQ (raw ("OutputGain"), 0.5f);
    EXPECT_FLOAT_EQ (raw ("PLayers"), 12.0f); // clamped
    EXPECT_TRUE (std::isfinite (processor.mixer.mix.getValue (false)));
    EXPECT_TRUE (std::isfinite (processor.output.gain.getValue (false)));
    const auto depth = raw ("CDepth_a");
    EXPECT_TRUE (std::abs (depth - 0.1f) < 1.0e-6f || std::abs (depth - 0.2f) < 1.0e-6f) << depth;
}
