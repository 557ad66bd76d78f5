#pragma once
// The score report the host shows: tab-separated text, or an HTML page with one table once the host has
// called setVersion. Also what GetResult0 does around it: the claimed score stored and, while an export is
// pending, the Cabrillo file written.
#include <string>

#include "platform/prompts.h"
#include "scoring/score_model.h"

class CabrilloExport;
class Engine;

std::string LayoutTextReport(const Engine& engine, const ScoreModel& model);
std::string LayoutHtmlReport(const Engine& engine, const ScoreModel& model);

// The score last written to the settings file under "Claimed", when a write succeeded: it is written again
// only when it changed.
struct StoredClaim {
    bool stored = false;
    int score = 0;
};

// What the operator is told after an export: shown once the engine lock is released.
struct OutputMessage {
    bool show = false;
    std::string text;
    MessageIcon icon = MessageIcon::information;
};

// Everything GetResult0 does while it holds the engine lock: computes the model into `model` (see
// ComputeScoreModel; the engine is left as it was), lays out the report into `report`, writes "Claimed" to the
// settings file, and while engine.cabrilloRequested is set turns every logged QSO into a Cabrillo line and
// writes the file. Each export pass starts from an empty line list, so repeated reports rewrite the same file.
OutputMessage ProduceResult(const Engine& engine, CabrilloExport& cabrillo, StoredClaim& claim, ScoreModel& model,
                            std::string& report);
