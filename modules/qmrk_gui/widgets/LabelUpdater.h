#pragma once

namespace qmrk_gui
{
/** Receives the label texts of the parameters, on the message thread.

    The parameter kind travels as a plain int: the plug-in's ParameterType enum belongs to the
    plug-in, not to this module, and the implementer converts it back. stage is -1 (none),
    0 (chorus stage a) or 1 (chorus stage b).
*/
class LabelUpdater
{
public:
    virtual ~LabelUpdater() = default;
    virtual void updateLabel (const juce::String& text, int type, int stage) = 0;
};

} // namespace qmrk_gui
