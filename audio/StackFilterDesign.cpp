#include "audio/StackFilterDesign.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>
#include <vector>

#include "models/Mna.h"
#include "models/NodalEngine.h"
#include "numerics/DenseMatrix.h"
#include "numerics/Error.h"

namespace cva {

namespace {

using TCx = std::complex<double>;
using TMatrix = TDenseMatrix<double>;

// Sub-steps per sample, a power of two so that squaring reaches it exactly.
constexpr int SubStepDoublings = 12;

// The fit's frequencies: log-spaced from 10 Hz to this share of the Nyquist
// frequency, weighted to put the accuracy where the ear and the tolerances
// want it.
constexpr int FitPoints = 320;
// Delayed inputs fill a filter up to this order; a circuit with more states
// has none, as its own poles already reach high.
constexpr int DelayedFilterOrder = 8;
constexpr int FitPasses = 8;
constexpr double FitRidge = 1e-9;
// Below this share of its row's and column's size an entry of C counts as zero.
constexpr double RankTolerance = 1e-9;
constexpr double FitLowestHz = 10.0;
constexpr double FitTopShareOfNyquist = 0.9;
double FitWeight(double frequency)
{
    return frequency <= 16000.0 ? 1.0 : 0.1;
}
constexpr double AverageLowHz = 20.0;
constexpr double AverageHighHz = 16000.0;

// The nodal equations in the time domain, G x + C dx/dt = B u, with C
// split as U W: W x are the charges and fluxes that carry the circuit's
// memory (as many as C's rank), U says where their changes enter.
struct TTimeDomainNodal {
    TMatrix G;
    TMatrix C;
    TMatrix U;
    TMatrix W;
    int Output = -1;
    int States = 0;
};

// C = C[:, J] C[I, J]^-1 C[I, :] for pivot rows I and columns J found by
// elimination with complete pivoting. A pivot counts only when it is large
// against its own row and column of C, so a 1 pF capacitor beside a 10 H
// inductor is a state, while capacitors in a loop, which share one, are not.
TTimeDomainNodal Split(const TMnaSystem &mna, const std::string &name)
{
    const int size = mna.Size;
    std::vector<double> rowNorm(static_cast<std::size_t>(size)), columnNorm(static_cast<std::size_t>(size));
    TMatrix reduced(size, size);
    for (int i = 0; i < size; ++i)
        for (int j = 0; j < size; ++j) {
            reduced(i, j) = mna.C[i][j];
            rowNorm[i] = std::max(rowNorm[i], std::abs(mna.C[i][j]));
            columnNorm[j] = std::max(columnNorm[j], std::abs(mna.C[i][j]));
        }
    std::vector<int> pivotRows, pivotColumns;
    std::vector<bool> rowUsed(static_cast<std::size_t>(size)), columnUsed(static_cast<std::size_t>(size));
    for (;;) {
        int bestRow = -1, bestColumn = -1;
        double best = RankTolerance;
        for (int i = 0; i < size; ++i)
            for (int j = 0; j < size; ++j) {
                if (rowUsed[i] || columnUsed[j] || reduced(i, j) == 0)
                    continue;
                const double relative = std::abs(reduced(i, j)) / std::sqrt(rowNorm[i] * columnNorm[j]);
                if (relative > best) {
                    best = relative;
                    bestRow = i;
                    bestColumn = j;
                }
            }
        if (bestRow < 0)
            break;
        rowUsed[bestRow] = columnUsed[bestColumn] = true;
        pivotRows.push_back(bestRow);
        pivotColumns.push_back(bestColumn);
        for (int i = 0; i < size; ++i) {
            if (rowUsed[i])
                continue;
            const double factor = reduced(i, bestColumn) / reduced(bestRow, bestColumn);
            for (int j = 0; j < size; ++j)
                reduced(i, j) -= factor * reduced(bestRow, j);
        }
    }
    const int states = static_cast<int>(pivotRows.size());
    if (states > MaxReactiveElements)
        throw CorvantaError("Cannot make an audio filter of circuit " + name + ": it has more than " +
                            std::to_string(MaxReactiveElements) + " independent capacitors and inductors");

    TTimeDomainNodal nodal{TMatrix(size, size), TMatrix(size, size), TMatrix(size, states), TMatrix(states, size),
                           mna.Output, states};
    TMatrix core(states, states);
    TMatrix rows(states, size);
    for (int i = 0; i < size; ++i) {
        for (int j = 0; j < size; ++j) {
            nodal.G(i, j) = mna.G[i][j];
            nodal.C(i, j) = mna.C[i][j];
        }
        for (int k = 0; k < states; ++k)
            nodal.U(i, k) = mna.C[i][pivotColumns[k]];
    }
    for (int k = 0; k < states; ++k) {
        for (int l = 0; l < states; ++l)
            core(k, l) = mna.C[pivotRows[k]][pivotColumns[l]];
        for (int j = 0; j < size; ++j)
            rows(k, j) = mna.C[pivotRows[k]][j];
    }
    TDenseLU<double> lu;
    if (!lu.Factor(core))
        throw CorvantaError("Cannot make an audio filter of circuit " + name + ": its reactive part is singular");
    nodal.W = lu.Solve(rows);
    return nodal;
}

// One response of the fitted form at z: the row c^T (zI - A)^-1.
std::vector<TCx> StateResponse(const TMatrix &a, const std::vector<double> &c, TCx z)
{
    const int n = a.RowCount();
    TDenseMatrix<TCx> transposed(n, n);
    TDenseMatrix<TCx> rhs(n, 1);
    for (int i = 0; i < n; ++i) {
        for (int j = 0; j < n; ++j)
            transposed(i, j) = (i == j ? z : TCx(0)) - a(j, i);
        rhs(i, 0) = c[i];
    }
    TDenseLU<TCx> lu;
    if (!lu.Factor(transposed))
        throw CorvantaError("The audio filter has a pole on the unit circle");
    const TDenseMatrix<TCx> w = lu.Solve(rhs);
    std::vector<TCx> row(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i)
        row[i] = w(i, 0);
    return row;
}

} // namespace

bool IsStable(const TStackFilterCoefficients &filter)
{
    const int n = filter.Order;
    if (n < 0 || n > MaxFilterOrder || !std::isfinite(filter.D))
        return false;
    for (int i = 0; i < n; ++i)
        if (!std::isfinite(filter.B[i]) || !std::isfinite(filter.C[i]))
            return false;
    // The spectral radius is at most the k-th root of the norm of A^k, and
    // A^k tends to zero exactly when it is below one. So the poles are inside
    // once some power A^(2^m) has a norm below one; a pole on or outside the
    // circle keeps every power's norm at one or more (or makes it overflow).
    // Sixty-four squarings reach 2^64 samples, far beyond the slowest decay
    // a circuit has at any audio rate.
    constexpr int MaxSquarings = 64;
    TMatrix power(n, n);
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j)
            power(i, j) = filter.A[i][j];
    for (int squaring = 0; squaring <= MaxSquarings; ++squaring) {
        double norm = 0; // the largest row sum: an induced norm
        for (int i = 0; i < n; ++i) {
            double row = 0;
            for (int j = 0; j < n; ++j)
                row += std::abs(power(i, j));
            if (!std::isfinite(row))
                return false;
            norm = std::max(norm, row);
        }
        if (norm < 1)
            return true;
        power = power * power;
    }
    return false;
}

TStackFilterCoefficients DesignStackFilter(const TNetlist &netlist, double sampleRate)
{
    if (!(sampleRate > 0) || !std::isfinite(sampleRate))
        throw CorvantaError("The sample rate must be a positive number");
    // The engine checks the values and gives the response the fit follows.
    TNodalEngine engine(netlist);
    const TTimeDomainNodal nodal = Split(StampMna(netlist), netlist.Name);
    if (nodal.Output < 0)
        throw CorvantaError("Cannot make an audio filter of circuit " + netlist.Name + ": its output is the ground node");
    const int n = nodal.States;

    // Backward Euler over a sub-step h: (G + C / h) x[k] = B u + U s[k-1] / h,
    // s[k] = W x[k]. So s[k] = (W P^-1 U / h) s[k-1] + W P^-1 B u; the
    // input's part is left to the fit below.
    const double h = 1.0 / (sampleRate * double(1 << SubStepDoublings));
    TMatrix p = nodal.G;
    for (int i = 0; i < p.RowCount(); ++i)
        for (int j = 0; j < p.ColumnCount(); ++j)
            p(i, j) += nodal.C(i, j) / h;
    TDenseLU<double> lu;
    if (!lu.Factor(p))
        throw CorvantaError("Cannot make an audio filter of circuit " + netlist.Name + ": its nodal matrix is singular");
    const TMatrix pu = lu.Solve(nodal.U);

    // The one-sub-step matrix is the identity plus a small part; squaring that
    // part, (I + D)^2 = I + (2D + D^2), keeps its digits.
    TMatrix small = nodal.W * pu;
    for (int i = 0; i < n; ++i) {
        for (int j = 0; j < n; ++j)
            small(i, j) /= h;
        small(i, i) -= 1;
    }
    for (int doubling = 0; doubling < SubStepDoublings; ++doubling) {
        TMatrix squared = small * small;
        for (int i = 0; i < n; ++i)
            for (int j = 0; j < n; ++j)
                squared(i, j) += 2 * small(i, j);
        small = std::move(squared);
    }
    TMatrix a = small;
    for (int i = 0; i < n; ++i)
        a(i, i) += 1;

    // The output seen from the states, as in the sub-step equations.
    std::vector<double> seen(static_cast<std::size_t>(n));
    for (int j = 0; j < n; ++j)
        seen[j] = pu(nodal.Output, j) / h;

    // A few samples of the input itself give the fit the freedom to follow
    // the analog curve close to the Nyquist frequency, where no digital
    // filter with the analog poles alone can.
    const int delays = std::clamp(DelayedFilterOrder - n, 0, MaxInputDelays);

    // Least squares for B, D and the delays' weights:
    //   sum_k B_k c^T (zI - A)^-1 e_k + D + sum_m E_m z^-m = H(f),
    // relative to |H| so that the error is in decibels everywhere. Only the
    // magnitude has to match: after a first fit to the complex response,
    // each further fit aims at the analog magnitude with the phase of the
    // previous fit, which lets the phase give way near the Nyquist frequency.
    const int unknowns = n + 1 + delays;
    const double top = FitTopShareOfNyquist * sampleRate / 2;
    TMatrix fit(2 * FitPoints, unknowns);
    std::vector<TCx> analog(static_cast<std::size_t>(FitPoints));
    std::vector<double> weight(static_cast<std::size_t>(FitPoints));
    std::vector<std::vector<TCx>> rows(static_cast<std::size_t>(FitPoints));
    double sumDB = 0;
    int averaged = 0;
    for (int point = 0; point < FitPoints; ++point) {
        const double frequency = FitLowestHz * std::pow(top / FitLowestHz, point / double(FitPoints - 1));
        analog[point] = engine.Output(frequency);
        const double magnitude = std::abs(analog[point]);
        if (!(magnitude > 0))
            throw CorvantaError("Cannot make an audio filter of circuit " + netlist.Name +
                                ": its output is zero at some frequency");
        if (frequency >= AverageLowHz && frequency <= AverageHighHz) {
            sumDB += 20 * std::log10(magnitude);
            ++averaged;
        }
        weight[point] = FitWeight(frequency) / magnitude;
        const TCx z = std::polar(1.0, 2 * std::numbers::pi * frequency / sampleRate);
        std::vector<TCx> &row = rows[point];
        row = StateResponse(a, seen, z);
        row.push_back(1.0);
        for (int m = 1; m <= delays; ++m)
            row.push_back(std::pow(z, -m));
        for (int k = 0; k < unknowns; ++k) {
            fit(2 * point, k) = weight[point] * row[k].real();
            fit(2 * point + 1, k) = weight[point] * row[k].imag();
        }
    }
    std::vector<TCx> aim = analog;
    std::vector<double> solution;
    for (int pass = 0; pass < FitPasses; ++pass) {
        std::vector<double> target(static_cast<std::size_t>(2 * FitPoints));
        for (int point = 0; point < FitPoints; ++point) {
            target[2 * point] = weight[point] * aim[point].real();
            target[2 * point + 1] = weight[point] * aim[point].imag();
        }
        try {
            solution = SolveLeastSquares(fit, target, FitRidge);
        } catch (const CorvantaError &error) {
            // The numbers alone would not tell the listener which circuit failed.
            throw CorvantaError("Cannot make an audio filter of circuit " + netlist.Name + ": " + error.what());
        }
        for (int point = 0; point < FitPoints; ++point) {
            TCx fitted = 0;
            for (int k = 0; k < unknowns; ++k)
                fitted += solution[k] * rows[point][k];
            if (std::abs(fitted) > 0)
                aim[point] = std::abs(analog[point]) * fitted / std::abs(fitted);
        }
    }
    for (const double value : solution)
        if (!std::isfinite(value))
            throw CorvantaError("Cannot make an audio filter of circuit " + netlist.Name + ": the fit is not finite");

    // The delays become states after the circuit's: a chain that the input
    // enters at its first state and that shifts by one each sample.
    TStackFilterCoefficients filter;
    filter.Order = n + delays;
    filter.SampleRate = sampleRate;
    for (int i = 0; i < n; ++i) {
        for (int j = 0; j < n; ++j)
            filter.A[i][j] = a(i, j);
        filter.B[i] = solution[i];
        filter.C[i] = seen[i];
    }
    filter.D = solution[n];
    for (int m = 0; m < delays; ++m) {
        if (m == 0)
            filter.B[n] = 1;
        else
            filter.A[n + m][n + m - 1] = 1;
        filter.C[n + m] = solution[n + 1 + m];
    }
    filter.AverageGain = averaged > 0 ? std::pow(10.0, sumDB / averaged / 20) : 1.0;
    if (!IsStable(filter))
        throw CorvantaError("Cannot make an audio filter of circuit " + netlist.Name +
                            ": it would not be stable (a pole on or outside the unit circle)");
    return filter;
}

} // namespace cva
