#pragma once
// A link of the command chain: view, then frame, then application.

class ICommandTarget {
public:
    virtual ~ICommandTarget() = default;
    // True when this target has a handler for the command; the window greys every
    // command that no target of the chain handles.
    virtual bool HandlesCommand(unsigned id) const = 0;
    // Runs the command when this target (or one behind it) handles it.
    virtual bool OnCmdMsg(unsigned id) = 0;
};
