#pragma once

namespace vondrel {

// Tells whether the game is running, so that a save can warn first: the game keeps its own
// copy of the neighbourhood in memory and may write it over the edits.
class RunningGame {
  public:
    virtual ~RunningGame() = default;
    virtual bool isRunning() = 0;
};

// Looks through the system's processes for one whose program is VEKS.EXE (any letter
// case), Wine's processes included.
class ProcessTable : public RunningGame {
  public:
    bool isRunning() override;
};

}  // namespace vondrel
