#pragma once

#include "database_work.h"

// The load leaves the indexes of the loaded database inactive; this
// rebuilds all of them in the database just loaded, where its sort files
// have room. A failed rebuild is told, and the run goes on to the other
// databases.
class IndexRebuild : public DatabaseWork {
  public:
    IndexRebuild(RunServices& run, const DatabasePlan& plan) : run_(run), plan_(plan) {}

    std::optional<Step> Next() override;
    void Ended(const StepEnd& end) override;

  private:
    RunServices& run_;
    const DatabasePlan& plan_;
    PassFigures* figures_ = nullptr;
};
