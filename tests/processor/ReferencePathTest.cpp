// The processor against a plain per-sample model of the whole signal path, written from the
// stage algorithms alone (std:: maths, one sample and one channel at a time). However the stages
// are arranged to run fast, their output has to stay within float rounding of this model.
#include "ProcessorFixtures.h"

using namespace tw::test;

namespace
{
template <typename T>
T forFeedback (T x)
{
    const auto magnitude = std::abs (x);
    return (magnitude > T (1.0e-15) && magnitude < T (1.0e15)) ? x : T();
}

// The arguments' linear ramp of 0.1 s.
template <typename T>
struct Ramp
{
    T current {}, target {}, step {};
    int countdown = 0, steps = 0;

    void jump (T v)
    {
        current = target = v;
        countdown = 0;
    }

    void set (T v)
    {
        if (v == target)
            return;
        target = v;
        countdown = steps;
        step = (target - current) / static_cast<T> (countdown);
    }

    T next()
    {
        if (countdown <= 0)
            return target;
        current = --countdown > 0 ? current + step : target;
        return current;
    }
};

// A ring of past samples: ago (0) is the newest.
template <typename T>
struct History
{
    std::vector<T> data = std::vector<T> (1 << 16);
    size_t newest = 0;

    void clear() { std::fill (data.begin(), data.end(), T()); }
    void push (T x) { data[newest = (newest + 1) & (data.size() - 1)] = x; }
    T ago (int k) const { return data[(newest - static_cast<size_t> (k)) & (data.size() - 1)]; }
    T read (int whole, T frac) const { return ago (whole) + frac * (ago (whole + 1) - ago (whole)); }
};

template <typename T>
struct Lfo
{
    Ramp<T> period, left, right; // seconds, offsets in the arguments' own units
    T phase {}, leftMin {}, leftSpan { 1 }, rightMin {}, rightSpan { 1 };
    bool sine = true;

    void sync (qmrk_dsp::Oscillator<float>& osc)
    {
        period.set (osc.getPeriod().getValue (false));
        left.set (osc.getPhaseL().getValue (false));
        right.set (osc.getPhaseR().getValue (false));
        leftMin = osc.getPhaseL().getMinimum();
        leftSpan = osc.getPhaseL().getMaximum() - leftMin;
        rightMin = osc.getPhaseR().getMinimum();
        rightSpan = osc.getPhaseR().getMaximum() - rightMin;
        sine = osc.getType() == qmrk_dsp::Oscillator<float>::sineShape;
    }

    void reset()
    {
        phase = T();
        for (auto* r : { &period, &left, &right })
            r->jump (r->target);
    }

    T shape (T x) const
    {
        x -= std::floor (x);
        x = (x >= T() && x < T (1)) ? x : T();
        return sine ? (std::sin (static_cast<T> (6.2831855f) * x) + T (1)) / T (2) : T (0.5);
    }

    std::pair<T, T> next (T rate)
    {
        const auto cycle = period.next() * rate;
        const auto w = phase;
        phase += cycle >= T (1) ? T (1) / cycle : T();
        if (phase >= T (1))
            phase -= T (1);
        const auto l = (left.next() - leftMin) / leftSpan, r = (right.next() - rightMin) / rightSpan;
        return { shape (w + l), shape (w + r) };
    }
};

template <typename T>
struct Phaser
{
    Ramp<T> center, range, feedback, texture;
    Lfo<T> lfo;
    int stages = 0;
    T z[2][24] {}, s[2] {};

    void sync (qmrk_dsp::Phaser<float>& p)
    {
        center.set (p.centerFreq.getValue (false));
        range.set (p.range.getValue (false));
        feedback.set (p.feedback.getValue (false) / 100);
        texture.set (p.texture.getValue (false) / 100);
        lfo.sync (p.oscillator);
        // A new stage count restarts the chain from silence.
        if (const auto count = p.getNumStages(); count != stages)
        {
            stages = count;
            std::fill (&z[0][0], &z[0][0] + 48, T());
            s[0] = s[1] = T();
        }
    }

    void run (T* x, int channels, T rate)
    {
        const auto [sweepL, sweepR] = lfo.next (rate);
        const auto c = center.next(), r = range.next(), f = feedback.next(), t = texture.next();
        const auto loopGain = juce::jlimit (T (-0.99), T (0.99), f);

        for (int ch = 0; ch < channels; ++ch)
        {
            const auto sweep = ch == 0 ? sweepL : sweepR;
            auto fb = c * std::pow (T (2), (T (2) * sweep - T (1)) * r);
            fb = std::max (T(), std::min (std::max (rate / 2 - 12, rate / 4), fb));
            const auto g = std::tan (fb * (static_cast<T> (juce::MathConstants<float>::pi) / rate));
            const auto G = g / (T (1) + g);
            const auto e = t >= T (1) ? t * std::abs (s[ch])
                           : t > T()  ? t * std::abs (s[ch]) + (T (1) - t) * s[ch]
                                      : s[ch];
            auto v = x[ch] - e;
            for (int k = 0; k < stages; ++k)
            {
                const auto w = (v - z[ch][k]) * G;
                const auto lp = z[ch][k] + w;
                z[ch][k] = lp + w;
                v = T (2) * lp - v;
            }
            x[ch] = v;
            s[ch] = forFeedback (v * loopGain);
        }
    }
};

template <typename T>
struct Chorus
{
    Ramp<T> feedback, depth, predelay;
    Lfo<T> lfo;
    History<T> line[2];
    T state[2] {};
    bool on = false;

    void sync (qmrk_dsp::ChorusStage<float>& c, bool nowOn)
    {
        feedback.set (c.feedback.getValue (false) / 100);
        depth.set (c.depth.getValue (false));
        predelay.set (c.predelay.getValue (false));
        lfo.sync (c.oscillator);

        // Switching a stage off resets it.
        if (std::exchange (on, nowOn) && !nowOn)
        {
            lfo.reset();
            for (auto* r : { &feedback, &depth, &predelay })
                r->jump (r->target);
            line[0].clear(), line[1].clear();
            state[0] = state[1] = T();
        }
    }

    void run (T* x, int channels, T rate)
    {
        const auto [sweepL, sweepR] = lfo.next (rate);
        const auto pre = predelay.next(), d = depth.next(), f = feedback.next();
        const auto longest = static_cast<T> (4 + static_cast<int> (524.0 * static_cast<double> (rate) / 1000.0));

        for (int ch = 0; ch < channels; ++ch)
        {
            line[ch].push (x[ch] - state[ch]);
            auto delay = (std::min (T (524) - pre, d) * (ch == 0 ? sweepL : sweepR) + pre) * (rate / T (1000));
            delay = delay > T() ? std::min (delay, longest) : T();
            const auto whole = static_cast<int> (std::floor (delay));
            const auto y = line[ch].read (whole, delay - static_cast<T> (whole));
            x[ch] = y / (std::abs (f) + T (1));
            state[ch] = forFeedback (y * f);
        }
    }
};

template <typename T>
struct Reference
{
    explicit Reference (PluginProcessor& p, double sampleRate)
        : processor (p)
        , rate (static_cast<T> (static_cast<float> (sampleRate)))
    {
        const auto steps = static_cast<int> (std::floor (sampleRate * 0.1));
        for (auto* ramp : ramps())
            ramp->steps = steps;

        const auto& c = p.lowCut.state->coefficients;
        for (size_t k = 0; k < 5; ++k)
            lowCut[k] = static_cast<T> (c[static_cast<int> (k)]);

        // Prepared: every ramp at its target.
        sync();
        for (auto* ramp : ramps())
            ramp->jump (ramp->target);
    }

    std::vector<Ramp<T>*> ramps()
    {
        std::vector<Ramp<T>*> all { &delayMs, &driverFeedback, &panLfo.period, &panLfo.left, &panLfo.right,
                                    &mix,     &gainDb };
        for (auto* ph : { &phaser, &finalPhaser })
            all.insert (all.end(), { &ph->center, &ph->range, &ph->feedback, &ph->texture, &ph->lfo.period,
                                     &ph->lfo.left, &ph->lfo.right });
        for (auto* c : { &chorusA, &chorusB })
            all.insert (all.end(),
                        { &c->feedback, &c->depth, &c->predelay, &c->lfo.period, &c->lfo.left, &c->lfo.right });
        return all;
    }

    void sync()
    {
        delayMs.set (processor.driver.delay.getValue (false));
        driverFeedback.set (processor.driver.feedback.getValue (false) / 100);
        stereo = processor.driver.stereo.isOn();
        panLfo.sync (processor.driver.panner.oscillator);
        phaser.sync (processor.chain.phaser);
        finalPhaser.sync (processor.chain.finalPhaser);
        chorusA.sync (processor.chain.chorusA, processor.chain.chorusAOn.isOn());
        chorusB.sync (processor.chain.chorusB, processor.chain.chorusBOn.isOn());
        mix.set (processor.mixer.mix.getValue (false) / 100);
        gainDb.set (processor.output.gain.getValue (false));
    }

    // Processes one host block in place, after reading the settings the block starts with.
    void process (juce::AudioBuffer<T>& buffer, int start, int n)
    {
        sync();
        const auto channels = juce::jmin (2, buffer.getNumChannels());

        for (int i = start; i < start + n; ++i)
        {
            T dry[2] {}, x[2] {};
            for (int ch = 0; ch < channels; ++ch)
                dry[ch] = buffer.getSample (ch, i);

            // Driver: pop, then push the input less the fed-back echo; delay 1 reads the last push.
            const auto ms = delayMs.next(), f = driverFeedback.next();
            const auto samples =
                static_cast<T> (juce::jmax (1.0, static_cast<double> (ms) / 1000.0 * static_cast<double> (rate)));
            const auto whole = static_cast<int> (std::floor (samples));
            for (int ch = 0; ch < channels; ++ch)
            {
                x[ch] = driverLine[ch].read (whole - 1, samples - static_cast<T> (whole));
                driverLine[ch].push (forFeedback (dry[ch] - f * x[ch]));
            }

            // The panner runs only with "Stereo" on; a mono block passes it unchanged.
            if (stereo)
            {
                const auto pan = T (-1) + panLfo.next (rate).first * T (2);
                const auto p = juce::jlimit (T(), T (1), (pan + T (1)) * T (0.5));
                if (channels == 2)
                {
                    x[0] = std::sqrt (T (1) - p) * (static_cast<T> (1.41421354f) * x[0]);
                    x[1] = std::sqrt (p) * (static_cast<T> (1.41421354f) * x[1]);
                }
            }

            phaser.run (x, channels, rate);

            if (chorusA.on && chorusB.on)
            {
                T b[2] { x[0], x[1] };
                chorusA.run (x, channels, rate);
                chorusB.run (b, channels, rate);
                for (int ch = 0; ch < channels; ++ch)
                    x[ch] = (x[ch] + b[ch]) * T (0.5);
            }
            else if (chorusA.on || chorusB.on)
            {
                (chorusA.on ? chorusA : chorusB).run (x, channels, rate);
            }

            finalPhaser.run (x, channels, rate);

            const auto m = mix.next(), db = gainDb.next();
            const auto gain = db > T (-100) ? std::pow (T (10), db * T (0.05)) : T();
            for (int ch = 0; ch < channels; ++ch)
            {
                auto& s = lowCutState[ch];
                const auto y = lowCut[0] * x[ch] + s[0];
                s[0] = lowCut[1] * x[ch] - lowCut[3] * y + s[1];
                s[1] = lowCut[2] * x[ch] - lowCut[4] * y;
                buffer.setSample (ch, i, ((T (1) - m) * dry[ch] + m * y) * gain);
            }
        }

        for (auto& s : lowCutState)
            for (auto& v : s)
                v = (v < T (-1.0e-8) || v > T (1.0e-8)) ? v : T();
    }

    PluginProcessor& processor;
    const T rate;
    Ramp<T> delayMs, driverFeedback, mix, gainDb;
    bool stereo = true;
    Lfo<T> panLfo;
    History<T> driverLine[2];
    Phaser<T> phaser, finalPhaser;
    Chorus<T> chorusA, chorusB;
    T lowCut[5] {}, lowCutState[2][2] {};
};

struct Change
{
    int block;
    const char* id;
    float value;
};

enum class Input
{
    noise,
    impulses
};

struct PathCase
{
    const char* name;
    const char* preset;
    std::vector<Change> changes; // block 0 changes are made before preparing
    int channels;
    double rate;
    int blockSize;
    Input input;
};

const std::vector<Change> worstSettings {
    { 0, "PLayers", 12.0f },       { 0, "OscEnabled", 1.0f },  { 0, "Stereo", 1.0f },
    { 0, "PRange", 1.0f },         { 0, "TFeedback", 1.0f },   { 0, "TFeedbackTexture", 0.5f },
    { 0, "DriverFeedback", 1.0f }, { 0, "CEnabled_a", 1.0f },  { 0, "CEnabled_b", 1.0f },
    { 0, "CDepth_a", 1.0f },       { 0, "CDepth_b", 1.0f },    { 0, "CFeedback_a", 1.0f },
    { 0, "CFeedback_b", 1.0f },    { 0, "CPredelay_a", 0.3f }, { 0, "CPredelay_b", 0.2f },
    { 0, "CPeriod_a", 0.2f },      { 0, "CPeriod_b", 0.3f },
};

const std::vector<Change> midStreamChanges {
    { 3, "PFreq", 0.9f },
    { 3, "Mix", 0.8f },
    { 5, "OutputGain", 0.7f },
    { 6, "DriverDelay", 0.9f },
    { 8, "CDepth_a", 0.6f },
    { 9, "CPeriod_a", 0.05f },
    { 10, "TFeedbackTexture", 1.0f },
    { 10, "TFeedback", 0.8f },
    { 12, "PLayers", 8.0f },
    { 14, "CEnabled_b", 1.0f },
    { 16, "Stereo", 1.0f },
    { 18, "OscEnabled", 0.0f },
    { 26, "OscEnabled", 1.0f },
    { 28, "PRange", 0.9f },
    { 30, "CEnabled_a", 0.0f },
    { 34, "CEnabled_a", 1.0f },
    { 36, "TFeedbackTexture", 0.3f },
    { 40, "DriverFeedback", 0.9f },
};

std::vector<PathCase> pathCases()
{
    return {
        { "Default preset, noise", "Default", {}, 2, 48000.0, 512, Input::noise },
        { "Default preset, impulses, block 32", "Default", {}, 2, 48000.0, 32, Input::impulses },
        { "worst case, noise", "Default", worstSettings, 2, 48000.0, 512, Input::noise },
        { "worst case, impulses, odd blocks at 44.1 kHz", "Default", worstSettings, 2, 44100.0, 37, Input::impulses },
        { "mono, noise", "Default", {}, 1, 48000.0, 128, Input::noise },
        { "LFOs frozen (Const), noise", "Resonators", {}, 2, 44100.0, 256, Input::noise },
        { "preset without stereo offsets, impulses", "Down the well", {}, 2, 48000.0, 100, Input::impulses },
        { "changes mid-stream, noise", "Default", midStreamChanges, 2, 48000.0, 512, Input::noise },
        { "changes mid-stream, impulses, block 64", "Default", midStreamChanges, 2, 44100.0, 64, Input::impulses },
    };
}

juce::AudioBuffer<float> makeInput (Input input, int channels, int samples, double rate)
{
    juce::AudioBuffer<float> buffer (channels, samples);
    buffer.clear();
    juce::Random random (7);
    for (int ch = 0; ch < channels; ++ch)
        for (int i = 0; i < samples; ++i)
            buffer.setSample (ch, i,
                              input == Input::noise                         ? random.nextFloat() - 0.5f
                              : i % static_cast<int> (rate * 0.1) == ch * 7 ? 1.0f
                                                                            : 0.0f);
    return buffer;
}

class ReferencePathTest : public ::testing::TestWithParam<PathCase>
{
protected:
    IsolatedHome home;
};

// Relative to the output's peak. Modulated delays turn a one-ulp difference in an oscillator or
// a delay time into an output difference of about 1e-4 of the peak on noise; a changed algorithm
// (a sample off, a wrong coefficient, a ramp that starts late) shows as 1e-2 or more.
constexpr double tolerance = 1.0e-3;

TEST_P (ReferencePathTest, OutputStaysWithinRoundingOfThePlainModel)
{
    const auto& c = GetParam();
    const auto set = juce::AudioChannelSet::canonicalChannelSet (c.channels);

    PluginProcessor processor;
    juce::AudioProcessor::BusesLayout layout;
    layout.inputBuses.add (set);
    layout.outputBuses.add (set);
    ASSERT_TRUE (processor.setBusesLayout (layout));

    auto* preset = processor.getPresetManager().findFactoryPreset (c.preset);
    ASSERT_NE (preset, nullptr) << c.preset;
    ASSERT_TRUE (processor.loadState (preset->data, false));

    const auto applyChanges = [&] (int block)
    {
        for (const auto& change : c.changes)
            if (change.block == block)
                setParameter (processor, change.id, change.value);
    };

    applyChanges (0);
    processor.prepareToPlay (c.rate, c.blockSize);

    const auto samples = static_cast<int> (c.rate); // one second
    auto actual = makeInput (c.input, c.channels, samples, c.rate);
    auto expected = actual;
    Reference<float> model (processor, c.rate);

    juce::MidiBuffer midi;
    for (int start = 0, block = 0; start < samples; start += c.blockSize, ++block)
    {
        if (block > 0)
            applyChanges (block);

        const auto n = juce::jmin (c.blockSize, samples - start);
        model.process (expected, start, n);
        juce::AudioBuffer<float> view (actual.getArrayOfWritePointers(), c.channels, start, n);
        processor.processBlock (view, midi);
    }

    double peak = 0.0, error = 0.0;
    for (int ch = 0; ch < c.channels; ++ch)
    {
        for (int i = 0; i < samples; ++i)
        {
            peak = juce::jmax (peak, static_cast<double> (std::abs (expected.getSample (ch, i))));
            error = juce::jmax (error,
                                static_cast<double> (std::abs (actual.getSample (ch, i) - expected.getSample (ch, i))));
        }
    }

    ASSERT_GT (peak, 0.01) << "the case must produce sound";
    EXPECT_LE (error, tolerance * peak) << "relative error " << error / peak;
    RecordProperty ("relative_error", juce::String (error / peak).toStdString());
}

INSTANTIATE_TEST_SUITE_P (Cases, ReferencePathTest, ::testing::ValuesIn (pathCases()),
                          [] (const auto& caseInfo)
                          {
                              auto name = juce::String (caseInfo.param.name)
                                              .retainCharacters (
                                                  "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789 ");
                              return name.replaceCharacter (' ', '_').toStdString();
                          });
} // namespace
