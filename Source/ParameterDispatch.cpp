// Parameter changes to stage arguments, the fixed chain configuration, and the editor's labels.
#include "PluginProcessor.h"

namespace
{
constexpr float onOffset = 0.5f;

bool isMessageThread()
{
    auto* mm = juce::MessageManager::getInstanceWithoutCreating();
    return mm != nullptr && mm->isThisTheMessageThread();
}

// The order in which an opening editor receives every label.
constexpr std::array<ParameterRef, ModelTree::numParameters> labelRefreshOrder {
    ParameterRef { DriverFeedback, -1 },
    { DriverDelay, -1 },
    { TFeedback, -1 },
    { Mix, -1 },
    { OutputGain, -1 },
    { Stereo, -1 },
    { PFreq, -1 },
    { PRange, -1 },
    { PPeriod, -1 },
    { PLayers, -1 },
    { CPeriod, 0 },
    { CEnabled, 0 },
    { CFeedback, 0 },
    { CPredelay, 0 },
    { CDepth, 0 },
    { CPeriod, 1 },
    { CEnabled, 1 },
    { CFeedback, 1 },
    { CPredelay, 1 },
    { CDepth, 1 },
    { OscEnabled, -1 },
    { TFeedbackTexture, -1 },
};
} // namespace

void PluginProcessor::configureChain()
{
    driver.mixer.mix.fixValue (100.0f);
    driver.delay.setRange (5.0f, 100.0f);
    driver.setMaximumDelayInSamples (4414);

    chain.mixer.mix.fixValue (100.0f);
    chain.phaser.mix.fixValue (100.0f);
    chain.chorusA.mix.fixValue (100.0f);
    chain.chorusB.mix.fixValue (100.0f);

    auto& last = chain.finalPhaser;
    last.mix.fixValue (100.0f);
    last.oscillator.getPeriod().fixValue (0.012f);
    last.feedback.fixValue (0.0f);
    last.centerFreq.fixValue (22.0f);
    last.range.fixValue (0.5f);
    last.setNumStages (2);

    for (auto* c : { &chain.chorusA, &chain.chorusB })
    {
        c->predelay.setName ("Delay");
        c->predelay.setRange (0.1f, 500.0f);
        c->depth.setRange (0.0f, 24.0f);
        c->depth.setName ("Mod Depth");
        c->oscillator.getPeriod().setName ("Mod Period");
    }
    chain.chorusAOn.setName ("C|a");
    chain.chorusBOn.setName ("C|b");

    chain.phaser.feedback.setRange (0.0f, 50.0f);

    chain.phaser.oscillator.getPhaseL().setValue (onOffset, true, false);
    chain.finalPhaser.oscillator.getPhaseR().setValue (onOffset, true, false);
    chain.chorusA.oscillator.getPhaseL().setValue (onOffset, true, false);
    chain.chorusB.oscillator.getPhaseR().setValue (onOffset, true, false);
}

qmrk_dsp::ChorusStage<float>& PluginProcessor::chorus (int stage) noexcept
{
    return stage > 0 ? chain.chorusB : chain.chorusA;
}

qmrk_dsp::BoolArg<float>& PluginProcessor::chorusSwitch (int stage) noexcept
{
    return stage > 0 ? chain.chorusBOn : chain.chorusAOn;
}

int PluginProcessor::labelSlot (ParameterType type, int stage) noexcept
{
    if (type >= CEnabled && stage > 0)
        return numParameterTypes + (type - CEnabled);
    return type;
}

void PluginProcessor::parameterChanged (const juce::String& parameterID, float newValue)
{
    const auto ref = ModelTree::resolve (parameterID);
    if (ref.type == numParameterTypes || !std::isfinite (newValue))
        return;

    applyParameter (ref, newValue);

    const auto onMessageThread = isMessageThread();

    if (setModifiedFlag (true))
    {
        if (onMessageThread)
        {
            if (auto* d = display.load())
                d->setModified (true);
        }
        else
        {
            modifiedMarkPending = true;
        }
    }

    requestLabelRefresh (ref, onMessageThread);
}

void PluginProcessor::requestLabelRefresh (ParameterRef ref, bool onMessageThread)
{
    if (labelUpdater.load() == nullptr)
        return;

    if (onMessageThread)
    {
        refreshLabel (ref.type, ref.stage);
    }
    else
    {
        // Nothing is allocated or posted here: the message thread's timer picks the flag up.
        labelDirty[static_cast<size_t> (labelSlot (ref.type, ref.stage))] = true;
        anyLabelDirty = true;
    }
}

void PluginProcessor::applyParameter (ParameterRef ref, float newValue)
{
    const auto on = newValue != 0.0f;

    switch (ref.type)
    {
        case Mix:
            mixer.mix.setValue (newValue, true, false);
            break;
        case OutputGain:
            output.gain.setValue (newValue, true, false);
            break;
        case DriverFeedback:
            driver.feedback.setValue (newValue, true, false);
            break;
        case DriverDelay:
            driver.delay.setValue (newValue, true, false);
            driver.panner.oscillator.getPeriod().setValue (2.0f * driver.delay.getValue (false) / 1000.0f, false,
                                                           false);
            break;
        case PFreq:
            chain.phaser.centerFreq.setValue (newValue, true, false);
            break;
        case PRange:
            chain.phaser.range.setValue (newValue, true, false);
            break;
        case PPeriod:
            chain.phaser.oscillator.getPeriod().setValue (newValue, true, false);
            break;
        case PLayers:
            chain.phaser.setNumStages (2 * static_cast<int> (newValue));
            break;
        case TFeedback:
            chain.phaser.feedback.setValue (newValue, true, false);
            break;
        case TFeedbackTexture:
            chain.phaser.texture.setValue (newValue, true, false);
            break;
        case Stereo:
        {
            driver.stereo.setValue (on ? 1.0f : 0.0f, false, true);
            const auto offset = on ? onOffset : 0.0f;
            chain.phaser.oscillator.getPhaseL().setValue (offset, false, false);
            chain.finalPhaser.oscillator.getPhaseR().setValue (offset, false, false);
            chain.chorusA.oscillator.getPhaseL().setValue (offset, false, false);
            chain.chorusB.oscillator.getPhaseR().setValue (offset, false, false);
            break;
        }
        case OscEnabled:
        {
            oscSwitch.setValue (on ? 1.0f : 0.0f, false, true);
            for (auto* osc : { &driver.panner.oscillator, &chain.phaser.oscillator, &chain.finalPhaser.oscillator,
                               &chain.chorusA.oscillator, &chain.chorusB.oscillator })
            {
                osc->setType (on ? qmrk_dsp::Oscillator<float>::sineShape : qmrk_dsp::Oscillator<float>::constShape);
                if (!on)
                    osc->setShapeValue (0.5f);
            }
            break;
        }
        case CEnabled:
            chorusSwitch (ref.stage).setValue (on ? 1.0f : 0.0f, false, true);
            if (!on)
                chorus (ref.stage).resetLocked();
            break;
        case CFeedback:
            chorus (ref.stage).feedback.setValue (newValue, true, false);
            break;
        case CPredelay:
            chorus (ref.stage).predelay.setValue (newValue, true, false);
            break;
        case CDepth:
            chorus (ref.stage).depth.setValue (newValue, true, false);
            break;
        case CPeriod:
            chorus (ref.stage).oscillator.getPeriod().setValue (newValue, true, false);
            break;
        case numParameterTypes:
            break;
    }
}

void PluginProcessor::applyAllParameters()
{
    for (const auto& ref : ModelTree::hostOrder())
        if (auto* value = model.getRawParameterValue (ModelTree::getParameterID (ref.type, ref.stage)))
            applyParameter (ref, value->load());

    // Hosts may restore state away from the message thread; the labels then follow via the timer.
    const auto onMessageThread = isMessageThread();
    for (const auto& ref : labelRefreshOrder)
        requestLabelRefresh (ref, onMessageThread);
}

juce::String PluginProcessor::getLabelText (ParameterType type, int stage)
{
    switch (type)
    {
        case Mix:
            return mixer.mix.getText (0);
        case OutputGain:
            return output.gain.getText (1);
        case DriverFeedback:
            return driver.feedback.getText (1);
        case DriverDelay:
            return driver.delay.getText (1);
        case PFreq:
            return chain.phaser.centerFreq.getText (1);
        case PRange:
            return chain.phaser.range.getText (1);
        case PPeriod:
            return chain.phaser.oscillator.getPeriod().getText (1);
        case PLayers:
            return "Layers: " + juce::String (chain.phaser.stages.getIntValue() / 2);
        case TFeedback:
            return chain.phaser.feedback.getText (1);
        case TFeedbackTexture:
            return chain.phaser.texture.getText (1);
        case Stereo:
            return driver.stereo.getText (0);
        case OscEnabled:
            return oscSwitch.getText (0);
        case CEnabled:
            return chorusSwitch (stage).getText (0);
        case CFeedback:
            return chorus (stage).feedback.getText (1);
        case CPredelay:
            return chorus (stage).predelay.getText (1);
        case CDepth:
            return chorus (stage).depth.getText (2);
        case CPeriod:
            return chorus (stage).oscillator.getPeriod().getText (1);
        case numParameterTypes:
            break;
    }
    return {};
}

void PluginProcessor::refreshLabel (ParameterType type, int stage)
{
    if (auto* updater = labelUpdater.load())
        updater->updateLabel (getLabelText (type, stage), static_cast<int> (type), stage);
}

void PluginProcessor::setLabelUpdater (qmrk_gui::LabelUpdater* updater)
{
    labelUpdater = updater;
    if (updater == nullptr)
        return;

    for (const auto& ref : labelRefreshOrder)
        refreshLabel (ref.type, ref.stage);
}

bool PluginProcessor::isChorusDepthZero (int stage)
{
    return chorus (stage).depth.getValue (false) == 0.0f;
}

void PluginProcessor::timerCallback()
{
    if (modifiedMarkPending.exchange (false) && isModified())
        if (auto* d = display.load())
            d->setModified (true);

    if (!anyLabelDirty.exchange (false))
        return;

    for (const auto& ref : labelRefreshOrder)
        if (labelDirty[static_cast<size_t> (labelSlot (ref.type, ref.stage))].exchange (false))
            refreshLabel (ref.type, ref.stage);
}
