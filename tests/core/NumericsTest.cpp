// Complex arithmetic, the Cramer solver, the LU factorisation and the sweep
// over the frequency grid.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <complex>
#include <functional>
#include <string>
#include <limits>
#include <vector>

#include "document/Circuit.h"
#include "document/FailureCause.h"
#include "models/Calc.h"
#include "numerics/BandOrdering.h"
#include "numerics/ComplexLU.h"
#include "numerics/Cramer.h"
#include "numerics/DenseMatrix.h"
#include "numerics/Error.h"

namespace {

using namespace cva;

constexpr bool HasExtendedPrecision = std::numeric_limits<long double>::digits >= 64;

TEST(Complex, BasicOperations)
{
    TComplex out;
    CDiv({1, 0}, {0, 1}, out);
    EXPECT_EQ(out.Re, 0);
    EXPECT_EQ(out.Im, -1);

    const double omegaC = 2 * M_PI * 1000 * 1e-7;
    CDiv({0, -1}, {omegaC, 0}, out);
    EXPECT_EQ(out.Re, 0);
    EXPECT_DOUBLE_EQ(out.Im, -1 / omegaC);

    CMul({0, 1}, {0, 1}, out);
    EXPECT_EQ(out.Re, -1);
    EXPECT_EQ(out.Im, 0);

    CMul({3, -2}, {-1, 5}, out); // (3 - 2j)(-1 + 5j) = 7 + 17j
    EXPECT_EQ(out.Re, 7);
    EXPECT_EQ(out.Im, 17);

    CDiv({7, 17}, {-1, 5}, out);
    EXPECT_DOUBLE_EQ(out.Re, 3);
    EXPECT_DOUBLE_EQ(out.Im, -2);

    EXPECT_EQ(CAbs({3, 4}), 5);
    EXPECT_EQ(CAbs({-5, 12}), 13);

    CSub({1, 2}, {4, -3}, out);
    EXPECT_EQ(out.Re, -3);
    EXPECT_EQ(out.Im, 5);
    CNeg({1, -2}, out);
    EXPECT_EQ(out.Re, -1);
    EXPECT_EQ(out.Im, 2);
}

TEST(Complex, ParallelCombination)
{
    TComplex out;
    CPar({1000, 0}, {1000, 0}, out);
    EXPECT_DOUBLE_EQ(out.Re, 500);
    EXPECT_DOUBLE_EQ(out.Im, 0);

    CPar({1000, 0}, {1e15, 0}, out);
    EXPECT_NEAR(out.Re, 1000, 1e-6);

    // R in parallel with -jX: (R X^2 - j R^2 X) / (R^2 + X^2).
    CPar({3, 0}, {0, -4}, out);
    EXPECT_DOUBLE_EQ(out.Re, 3.0 * 16 / 25);
    EXPECT_DOUBLE_EQ(out.Im, -9.0 * 4 / 25);

    // The result may be written over an input.
    TComplex a{2, 0};
    CPar(a, {2, 0}, a);
    EXPECT_DOUBLE_EQ(a.Re, 1);
}

TEST(Complex, SumsAndProductsRoundOnceFromExtendedPrecision)
{
    if (!HasExtendedPrecision)
        GTEST_SKIP() << "long double has no 64-bit mantissa here";
    // 1e16 + 1 + 1 loses both ones when each sum is rounded to a double.
    TComplex out;
    CAdd3({1e16, 0}, {1, 0}, {1, 0}, out);
    EXPECT_EQ(out.Re, 1e16 + 2);

    // (1 + e)(1 - e) - 1 * 1 = -e^2, which a double product rounds away.
    const double e = std::ldexp(1.0, -30);
    CMul({1 + e, 1}, {1 - e, 1}, out);
    EXPECT_EQ(out.Re, -std::ldexp(1.0, -60));
}

TEST(Complex, ZeroDivisorGivesNonFiniteParts)
{
    TComplex out;
    CDiv({0, -1}, {0, 0}, out);
    EXPECT_FALSE(std::isfinite(out.Re) && std::isfinite(out.Im));
    CPar({1, 0}, {-1, 0}, out);
    EXPECT_FALSE(std::isfinite(out.Re) && std::isfinite(out.Im));
}

TComplexMatrix Identity(int n)
{
    TComplexMatrix A{};
    for (int i = 0; i < n; ++i)
        A[i][i] = {1, 0};
    return A;
}

TEST(Cramer, IdentityAndDiagonalSystems)
{
    for (int n = 1; n <= MaxOrder; ++n) {
        TComplexVector b{};
        b[0] = {1, 0};
        TComplexVector x{};
        CramerSolve(n, Identity(n), b, x);
        for (int i = 0; i < n; ++i) {
            EXPECT_EQ(x[i].Re, i == 0 ? 1 : 0) << "order " << n;
            EXPECT_EQ(x[i].Im, 0) << "order " << n;
        }
    }

    TComplexMatrix A{};
    A[0][0] = {2, 0};
    A[1][1] = {0, 1};
    A[2][2] = {4, 0};
    TComplexVector b{};
    b[0] = {2, 0};
    b[1] = {0, 1};
    b[2] = {8, 0};
    TComplexVector x{};
    CramerSolve(3, A, b, x);
    const double expected[] = {1, 1, 2};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(x[i].Re, expected[i]);
        EXPECT_EQ(x[i].Im, 0);
    }
}

TEST(Cramer, ZeroPivotsDoNotPoisonTheSolution)
{
    // A zero in the pivot position of a regular matrix: [[0, 2], [3, 1]].
    TComplexMatrix A{};
    A[0][1] = {2, 0};
    A[1][0] = {3, 0};
    A[1][1] = {1, 0};
    const TComplex d = Determinant(2, A);
    EXPECT_EQ(d.Re, -6);
    EXPECT_EQ(d.Im, 0);
    TComplexVector b{};
    b[0] = {4, 0};
    b[1] = {5, 0};
    TComplexVector x{};
    CramerSolve(2, A, b, x); // 3 x0 + x1 = 5, 2 x1 = 4
    EXPECT_DOUBLE_EQ(x[0].Re, 1);
    EXPECT_DOUBLE_EQ(x[1].Re, 2);

    // A permutation matrix: every pivot starts at zero.
    TComplexMatrix P{};
    P[0][2] = P[1][0] = P[2][1] = {0, 1};
    const TComplex dp = Determinant(3, P); // cyclic permutation (+1) times j^3 = -j
    EXPECT_NEAR(dp.Re, 0, 1e-15);
    EXPECT_NEAR(dp.Im, -1, 1e-15);

    // A singular matrix has determinant zero rather than a non-finite one.
    TComplexMatrix S{};
    S[0][0] = S[0][1] = S[1][0] = S[1][1] = {1, 1};
    S[2][2] = {5, 0};
    const TComplex ds = Determinant(3, S);
    EXPECT_EQ(ds.Re, 0);
    EXPECT_EQ(ds.Im, 0);
}

TEST(Cramer, DeterminantOfAKnownMatrix)
{
    TComplexMatrix A{};
    // [[2, j, 0], [1, 3, 1], [0, 1 - j, 4]]: det = 2(12 - (1 - j)) - j(4) = 22 - 2 + 2j... computed below.
    A[0][0] = {2, 0};
    A[0][1] = {0, 1};
    A[1][0] = {1, 0};
    A[1][1] = {3, 0};
    A[1][2] = {1, 0};
    A[2][1] = {1, -1};
    A[2][2] = {4, 0};
    // 2 * (3*4 - 1*(1 - j)) - j * (1*4 - 1*0) = 2 * (11 + j) - 4j = 22 - 2j
    const TComplex d = Determinant(3, A);
    EXPECT_NEAR(d.Re, 22, 1e-12);
    EXPECT_NEAR(d.Im, -2, 1e-12);
    // Cells beyond the order are not read.
    A[5][5] = {std::numeric_limits<double>::quiet_NaN(), 0};
    const TComplex again = Determinant(3, A);
    EXPECT_NEAR(again.Re, 22, 1e-12);
}

TEST(Cramer, SolutionSatisfiesADenseComplexSystem)
{
    for (int n = 2; n <= MaxOrder; ++n) {
        TComplexMatrix A{};
        TComplexVector b{};
        for (int i = 0; i < n; ++i) {
            for (int j = 0; j < n; ++j)
                A[i][j] = {std::sin(1.0 + i * 7 + j * 3), std::cos(2.0 + i * j)};
            A[i][i].Re += 10; // diagonally dominant, as the loop matrices are
            b[i] = {double(i + 1), -0.5 * i};
        }
        TComplexVector x{};
        CramerSolve(n, A, b, x);
        for (int i = 0; i < n; ++i) {
            TComplex sum{};
            for (int j = 0; j < n; ++j)
                sum = sum + A[i][j] * x[j];
            EXPECT_NEAR(sum.Re, b[i].Re, 1e-12) << "order " << n << " row " << i;
            EXPECT_NEAR(sum.Im, b[i].Im, 1e-12) << "order " << n << " row " << i;
        }
    }
}

// Response functions for the sweep tests: the sweep only sees a function pointer.
std::vector<double> EvaluatedFrequencies;

double RecordingResponse(const TCalcParms &, double frequency)
{
    EvaluatedFrequencies.push_back(frequency);
    const double l = std::log10(frequency);
    return l * l * l - 3 * l; // curved, so interpolated points differ from direct ones
}

double CurveAt(int step)
{
    const double l = std::log10(GridFrequency(step));
    return l * l * l - 3 * l;
}

double FailsAbove1kHz(const TCalcParms &, double frequency)
{
    return frequency > 1000 ? std::numeric_limits<double>::quiet_NaN() : 1.0;
}

double MinusInfinityAtLastStep(const TCalcParms &, double frequency)
{
    return frequency > 29000 ? 20 * std::log10(0.0) : 1.0;
}

TEST(Sweep, GridFrequencies)
{
    EXPECT_DOUBLE_EQ(GridFrequency(128), 10);
    EXPECT_DOUBLE_EQ(GridFrequency(256), 100);
    EXPECT_DOUBLE_EQ(GridFrequency(384), 1000);
    EXPECT_DOUBLE_EQ(GridFrequency(512), 10000);
    EXPECT_NEAR(GridFrequency(572), 29427.27, 0.01);
    EXPECT_EQ(GridPoints, 445);
}

TEST(Sweep, StepOneEvaluatesEveryPointDirectly)
{
    EvaluatedFrequencies.clear();
    TTrace live{};
    CalcTrace(RecordingResponse, {}, 1, live);
    ASSERT_EQ(EvaluatedFrequencies.size(), 445u);
    for (int k = 0; k < GridPoints; ++k) {
        EXPECT_EQ(EvaluatedFrequencies[k], GridFrequency(GridFirstStep + k));
        EXPECT_EQ(live[k], CurveAt(GridFirstStep + k));
    }
}

// Checks that the evaluated steps hold direct values and every other point
// lies on the straight line between its evaluated neighbours.
void ExpectInterpolatedSweep(int step, const std::vector<int> &evaluatedSteps)
{
    EvaluatedFrequencies.clear();
    TTrace live{};
    CalcTrace(RecordingResponse, {}, step, live);
    ASSERT_EQ(EvaluatedFrequencies.size(), evaluatedSteps.size());
    for (std::size_t i = 0; i < evaluatedSteps.size(); ++i) {
        EXPECT_EQ(EvaluatedFrequencies[i], GridFrequency(evaluatedSteps[i]));
        EXPECT_EQ(live[evaluatedSteps[i] - GridFirstStep], CurveAt(evaluatedSteps[i]));
    }
    for (std::size_t i = 1; i < evaluatedSteps.size(); ++i) {
        const int from = evaluatedSteps[i - 1], to = evaluatedSteps[i];
        const double p = CurveAt(from), q = CurveAt(to);
        for (int s = from + 1; s < to; ++s) {
            const double expected = p + (q - p) * (s - from) / (to - from);
            EXPECT_NEAR(live[s - GridFirstStep], expected, 1e-12) << "step " << s;
            EXPECT_NE(live[s - GridFirstStep], CurveAt(s)) << "step " << s << " was evaluated";
        }
    }
}

TEST(Sweep, StepFourInterpolatesBetweenEvaluatedPoints)
{
    std::vector<int> steps;
    for (int s = 128; s <= 572; s += 4)
        steps.push_back(s);
    EXPECT_EQ(steps.size(), 112u);
    ExpectInterpolatedSweep(4, steps);
}

TEST(Sweep, StepSixteenAlsoEvaluatesTheLastGridStep)
{
    std::vector<int> steps;
    for (int s = 128; s <= 572; s += 16)
        steps.push_back(s);
    EXPECT_EQ(steps.back(), 560);
    steps.push_back(572); // the tail is filled, not left over from an earlier sweep
    ExpectInterpolatedSweep(16, steps);
}

TEST(Sweep, NonFiniteResultLeavesTheLiveTraceUntouched)
{
    TTrace live;
    live.fill(-123.5);
    const TTrace before = live;
    try {
        CalcTrace(FailsAbove1kHz, {}, 4, live);
        FAIL() << "no error";
    } catch (const CorvantaError &error) {
        EXPECT_STREQ(error.what(), "Invalid floating point operation");
    }
    EXPECT_EQ(live, before);

    EXPECT_THROW(CalcTrace(MinusInfinityAtLastStep, {}, 16, live), CorvantaError);
    EXPECT_EQ(live, before);
}

TEST(Sweep, ZeroCapacitanceInACircuitIsReportedAndKeepsTheTrace)
{
    TCircuit circuit;
    TTrace live{};
    Recalculate(circuit, live);
    const TTrace good = live;

    for (int step : {ResolutionHigh, ResolutionMedium, ResolutionLow}) {
        TCircuit broken = circuit;
        broken.ResolutionStep = step;
        broken.Symbols.AddCapacitor("FC1", 0);
        try {
            Recalculate(broken, live);
            FAIL() << "no error at step " << step;
        } catch (const CorvantaError &error) {
            EXPECT_STREQ(error.what(), "C1 on the Fender page is 0 F: a capacitance of zero leaves no finite gain");
        }
        EXPECT_EQ(live, good);
    }
    // The message names the page whose circuit failed.
    TCircuit silent = circuit;
    silent.Active = PageNamed("Big muff");
    silent.Symbols.AddCapacitor("PC2", 0);
    EXPECT_THROW(
        {
            try {
                Recalculate(silent, live);
            } catch (const CorvantaError &error) {
                EXPECT_NE(std::string(error.what()).find(" on the Big muff page is 0 F"), std::string::npos);
                throw;
            }
        },
        CorvantaError);
}

// A failed sweep names the part that made it fail: a reactance of zero, else
// the value farthest beyond real parts; nothing when no value explains it.
TEST(Sweep, FailureNamesThePartWhoseValueCausedIt)
{
    struct Case {
        const char *Page;
        std::function<void(TCircuitValues &)> Set;
        std::string Cause;
    };
    const std::vector<Case> cases = {
        {"Fender", [](TCircuitValues &) {}, ""},
        {"Fender", [](TCircuitValues &s) { s.AddResistor("FR1", 1e20); }, ""},
        {"Fender", [](TCircuitValues &s) { s.AddCapacitor("FC1", 0); },
         "C1 on the Fender page is 0 F: a capacitance of zero leaves no finite gain"},
        {"Fender", [](TCircuitValues &s) { s.AddResistor("FR1", 1e300); },
         "R1 on the Fender page is 1E300 Ω: a value too large for the calculation, which leaves no finite gain"},
        {"Fender", [](TCircuitValues &s) { s.AddResistor("FR1", 1e300); s.AddCapacitor("FC2", 1e-200); },
         "R1 on the Fender page is 1E300 Ω: a value too large for the calculation, which leaves no finite gain"},
        {"Fender", [](TCircuitValues &s) { s.AddCapacitor("FC2", 1e-200); },
         "C2 on the Fender page is 1E-200 F: a value too small for the calculation, which leaves no finite gain"},
        {"Bench", [](TCircuitValues &s) { s.AddInductor("SL1", 6, 1e40); },
         "L1 on the Bench page has a DC resistance of 1E40 Ω: a value too large for the calculation, which leaves "
         "no finite gain"},
    };
    for (const Case &c : cases) {
        TCircuit circuit;
        circuit.Active = PageNamed(c.Page);
        c.Set(circuit.Symbols);
        EXPECT_EQ(SweepFailureCause(circuit), c.Cause);
    }
}

// The one LU factorisation, in the engine's fixed storage and the filter
// design's dense matrices, real and complex: the first pivot is zero, so the
// solution needs a row exchange; a singular matrix is refused.
TEST(LU, SolvesWithRowExchangesAndRefusesSingularMatrices)
{
    const double a[3][3] = {{0, 2, 1}, {1, 1, 1}, {2, 1, 0}};
    const double b[3] = {5, 4, 4}; // x = (1, 2, 1)
    const double singular[2][2] = {{1, 2}, {2, 4}};
    for (const TCx scale : {TCx(1, 0), TCx(0, 2)}) {
        TComplexLU fixed;
        TDenseMatrix<TCx> dense(3, 3), rhs(3, 1);
        std::array<TCx, MaxLUOrder> x{};
        for (int i = 0; i < 3; ++i) {
            for (int j = 0; j < 3; ++j)
                fixed.At(i, j) = dense(i, j) = scale * a[i][j];
            x[i] = rhs(i, 0) = scale * b[i];
        }
        ASSERT_TRUE(fixed.Factor(3));
        fixed.Solve(x, x);
        TDenseLU<TCx> denseLU;
        ASSERT_TRUE(denseLU.Factor(dense));
        const TDenseMatrix<TCx> y = denseLU.Solve(rhs);
        for (int i = 0; i < 3; ++i) {
            EXPECT_NEAR(std::abs(x[i] - TCx(i == 1 ? 2 : 1)), 0, 1e-14) << i;
            EXPECT_NEAR(std::abs(y(i, 0) - TCx(i == 1 ? 2 : 1)), 0, 1e-14) << i;
        }
        TComplexLU fixedSingular;
        TDenseMatrix<TCx> denseSingular(2, 2);
        for (int i = 0; i < 2; ++i)
            for (int j = 0; j < 2; ++j)
                fixedSingular.At(i, j) = denseSingular(i, j) = scale * singular[i][j];
        EXPECT_FALSE(fixedSingular.Factor(2));
        EXPECT_FALSE(TDenseLU<TCx>().Factor(denseSingular));
    }
    TDenseMatrix<double> real(3, 3), rhs(3, 1);
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j)
            real(i, j) = a[i][j];
        rhs(i, 0) = b[i];
    }
    TDenseLU<double> realLU;
    ASSERT_TRUE(realLU.Factor(real));
    const TDenseMatrix<double> x = realLU.Solve(rhs);
    for (int i = 0; i < 3; ++i)
        EXPECT_NEAR(x(i, 0), i == 1 ? 2 : 1, 1e-14) << i;
}

TEST(LU, BandedFactorsExchangeRowsWithinTheBandAndSolveAsDenseOnes)
{
    // Tridiagonal with a tiny diagonal: every step exchanges rows, which
    // widens U to two columns above the diagonal.
    constexpr int n = 12;
    std::array<TCx, MaxLUOrder> expected{};
    for (int i = 0; i < n; ++i)
        expected[i] = TCx(i + 1, n - i);
    const auto element = [](int i, int j) {
        return i == j ? TCx(1e-3, 0) : std::abs(i - j) == 1 ? TCx(1 + i, 0.5 * j) : TCx(0);
    };
    for (const TBand band : {TBand{1, 1}, DenseBand(n)}) {
        TComplexLU lu;
        std::array<TCx, MaxLUOrder> x{};
        for (int i = 0; i < n; ++i)
            for (int j = 0; j < n; ++j) {
                lu.At(i, j) = element(i, j);
                x[i] += element(i, j) * expected[j];
            }
        ASSERT_TRUE(lu.Factor(n, band));
        lu.Solve(x, x);
        for (int i = 0; i < n; ++i)
            EXPECT_NEAR(std::abs(x[i] - expected[i]), 0, 1e-9) << i << " with band " << band.Lower;
    }
}

TEST(BandOrdering, NumbersAlongTheGraph)
{
    const struct {
        const char *Graph;
        int Count;
        std::vector<TCoupling> Couplings;
        int Band;
    } cases[] = {
        {"a path listed out of order", 8, {{0, 5}, {5, 2}, {2, 7}, {7, 1}, {1, 6}, {6, 3}, {3, 4}}, 1},
        {"a ladder of two rails", 8, {{0, 2}, {2, 4}, {4, 6}, {1, 3}, {3, 5}, {5, 7}, {0, 1}, {2, 3}, {4, 5}, {6, 7}}, 2},
        {"two parts and a lone unknown", 5, {{0, 3}, {1, 4}, {3, 3}}, 1},
    };
    for (const auto &c : cases) {
        const TUnknownOrder order = BandOrdering(c.Count, c.Couplings);
        std::vector<int> numbers(order.begin(), order.begin() + c.Count);
        std::sort(numbers.begin(), numbers.end());
        for (int i = 0; i < c.Count; ++i)
            EXPECT_EQ(numbers[std::size_t(i)], i) << c.Graph;
        EXPECT_EQ(BandOf(order, c.Couplings).Lower, c.Band) << c.Graph;
    }
}

} // namespace
