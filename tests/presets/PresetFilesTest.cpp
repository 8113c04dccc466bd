#include "PresetTestSupport.h"

namespace tw::test
{
namespace
{
juce::MemoryBlock withoutTrailingZeros (juce::MemoryBlock block)
{
    auto size = block.getSize();

    while (size > 0 && block[size - 1] == 0)
        --size;

    block.setSize (size);
    return block;
}

juce::MemoryBlock randomBlock (int size, juce::int64 seed)
{
    juce::Random random (seed);
    juce::MemoryBlock block ((size_t) size);
    random.fillBitsRandomly (block.getData(), block.getSize());
    return block;
}
} // namespace

TEST (PresetScrambling, RoundTripDropsOnlyTrailingZerosAndLeadsWithZeroBytes)
{
    FakePresetProcessor processor;
    const auto stateBlob = processor.getBlob();
    ASSERT_EQ (stateBlob[stateBlob.getSize() - 1], 0) << "a state blob ends with a zero byte";

    auto endingInZeros = randomBlock (300, 7);
    endingInZeros.append ("\0\0\0", 3);

    const std::vector<juce::MemoryBlock> blobs { stateBlob, randomBlock (1, 1), randomBlock (257, 2), endingInZeros };

    for (const auto shift : { 1, 7, 8, 13, 16, 29, 64 })
    {
        for (const auto& blob : blobs)
        {
            SCOPED_TRACE ("shift " + std::to_string (shift) + ", blob of " + std::to_string (blob.getSize()));
            const auto scrambled = qmrk_gui::scramblePresetData (blob, shift);
            ASSERT_GT (scrambled.getSize(), (size_t) (shift / 8));

            for (int i = 0; i < shift / 8; ++i)
                EXPECT_EQ (scrambled[(size_t) i], 0);

            EXPECT_NE (scrambled[scrambled.getSize() - 1], 0) << "shortest form: no zero byte at the top";
            EXPECT_EQ (qmrk_gui::unscramblePresetData (scrambled, shift), withoutTrailingZeros (blob));
        }
    }
}

TEST (PresetScrambling, UnscrambledStateBlobIsStillAccepted)
{
    FakePresetProcessor source, target;
    source.setPlain ("Mix", 0.27f);
    const auto file = qmrk_gui::scramblePresetData (source.getBlob(), FakePresetProcessor::testShift);
    const auto blob = qmrk_gui::unscramblePresetData (file, FakePresetProcessor::testShift);

    EXPECT_EQ (blob.getSize() + 1, source.getBlob().getSize()) << "the final zero byte does not survive";
    ASSERT_TRUE (target.setState (blob.getData(), (int) blob.getSize()));
    EXPECT_FLOAT_EQ (target.getPlain ("Mix"), 0.27f);
}

TEST (PresetScrambling, ShiftsOutOfRangeGiveNothing)
{
    const auto blob = randomBlock (64, 3);

    for (const auto shift : { -8, 0, qmrk_gui::PresetFileLimits::maxShift + 1 })
    {
        EXPECT_TRUE (qmrk_gui::scramblePresetData (blob, shift).isEmpty()) << shift;
        EXPECT_TRUE (qmrk_gui::unscramblePresetData (blob, shift).isEmpty()) << shift;
    }
}

TEST (PresetDisplayName, FollowsTheFileNameRule)
{
    const TempFolder temp;
    const struct
    {
        const char* relativePath;
        const char* expected;
    } cases[] = {
        { "my_lead.tw10", "My lead" },
        { "Live.Set", "Live" },
        { "a_b.tw10", "A b" },
        { "A b.tw10", "A b" },
        { "3am_lab.tw10", "3am lab" },
        { "folder.with.dots/plain", "Plain" },
        { "x.y/archive.tar.tw10", "Archive.tar" },
        { ".hidden", ".hidden" },
        { "__init__.tw10", "  init  " },
        { "Wet.tw10", "Wet" },
    };

    for (const auto& c : cases)
        EXPECT_EQ (qmrk_gui::makePresetDisplayName (temp.get().getChildFile (c.relativePath)),
                   juce::String::fromUTF8 (c.expected))
            << c.relativePath;
}

TEST (PresetFileWriting, AtomicReplaceWritesExactlyAndRefusesFolders)
{
    const TempFolder temp;
    const auto file = temp.get().getChildFile ("target.tw10");
    ASSERT_TRUE (file.replaceWithText ("old content that is longer than the new one"));

    const juce::MemoryBlock data ("new", 3);
    EXPECT_TRUE (qmrk_gui::replaceFileAtomically (file, data.getData(), data.getSize()));
    EXPECT_EQ (readBytes (file), data);
    EXPECT_EQ (temp.get().getNumberOfChildFiles (juce::File::findFilesAndDirectories), 1) << "no temporary left";

    EXPECT_FALSE (qmrk_gui::replaceFileAtomically (temp.get(), data.getData(), data.getSize()));
    EXPECT_FALSE (qmrk_gui::replaceFileAtomically (juce::File(), data.getData(), data.getSize()));
    EXPECT_TRUE (temp.get().isDirectory());
}

} // namespace tw::test
