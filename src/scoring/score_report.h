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

// What the operator is told after an export: shown once the engine lock is released.
struct OutputMessage {
    bool show = false;
    std::string text;
    MessageIcon icon = MessageIcon::information;
};

// Everything GetResult0 does while it holds the engine lock: computes the model (see ComputeScoreModel) and
// stores what the engine keeps of it (bands in report order, worked lists, claimed score),
// lays out the report into `report`, writes "Claimed" to the settings file, and while engine.cabrilloRequested
// is set turns every logged QSO into a Cabrillo line and writes the file. Each export pass starts from an
// empty line list, so repeated reports rewrite the same file.
OutputMessage ProduceResult(Engine& engine, CabrilloExport& cabrillo, std::string& report);
