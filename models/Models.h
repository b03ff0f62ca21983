#pragma once

// The seven tone-stack response functions and their sweeps.

#include "models/Calc.h"

namespace cva {

double FenderResponse(const TCalcParms &p, double frequency);
double MarshallResponse(const TCalcParms &p, double frequency);
double VoxResponse(const TCalcParms &p, double frequency);
double JamesResponse(const TCalcParms &p, double frequency);
double ESeriesResponse(const TCalcParms &p, double frequency);
double BenchResponse(const TCalcParms &p, double frequency);
double BigMuffResponse(const TCalcParms &p, double frequency);

void CalcFender(const TCalcParms &p, int step, TTrace &live);
void CalcMarshall(const TCalcParms &p, int step, TTrace &live);
void CalcVox(const TCalcParms &p, int step, TTrace &live);
void CalcJames(const TCalcParms &p, int step, TTrace &live);
void CalcESeries(const TCalcParms &p, int step, TTrace &live);
void CalcBench(const TCalcParms &p, int step, TTrace &live);
void CalcBigMuff(const TCalcParms &p, int step, TTrace &live);

} // namespace cva
