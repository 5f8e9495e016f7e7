// Cost of the adaptive quadrature against one evaluation of its integrand, and of the library's
// ln Gamma against the C library's, each pair measured in the same run.

#include <benchmark/benchmark.h>

#include <array>
#include <cmath>
#include <numbers>

#include "companion/KQDistFun.h"
#include "companion/LobattoQuad.h"

namespace {

using KQMath_850::IIntegrand;
using KQMath_850::KQDistFun;
using KQMath_850::LobattoQuad;

// One-sample JZS t integrand with prior scale 1, n cases, in logs (as the t Bayes factor computes it).
class JzsIntegrand : public IIntegrand {
 public:
  JzsIntegrand(double n, double t) : n_(n), t_(t) {}
  double ComputeMC(double, double) override { return 0.0; }
  double ComputeNI(double g) override {
    if (g <= 0.0) return 0.0;
    return std::exp(-0.5 * std::log1p(n_ * g) -
                    0.5 * n_ * std::log1p(t_ * t_ / ((1.0 + n_ * g) * (n_ - 1.0))) -
                    0.5 * std::log(2.0 * std::numbers::pi) - 1.5 * std::log(g) - 0.5 / g);
  }

 private:
  double n_, t_;
};

void JzsQuadrature(benchmark::State& state) {
  JzsIntegrand integrand(100.0, 2.0);
  LobattoQuad quad(integrand);
  quad.SetTolerance(1e-6);
  for (auto _ : state) benchmark::DoNotOptimize(quad.Integrate(0.0, 1e5));
  state.counters["iterations"] = quad.GetNIterations();
}
BENCHMARK(JzsQuadrature);

void JzsIntegrandOnce(benchmark::State& state) {
  JzsIntegrand integrand(100.0, 2.0);
  double g = 0.37;
  for (auto _ : state) {
    benchmark::DoNotOptimize(integrand.ComputeNI(g));
    g = g < 1e4 ? g * 1.7 : 0.37;  // vary the point so nothing is hoisted
  }
}
BENCHMARK(JzsIntegrandOnce);

constexpr std::array<double, 8> kGammaArguments{0.3, 1.5, 4.25, 9.9, 17.0, 55.5, 130.0, 1e4};

void LogGammaLibrary(benchmark::State& state) {
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(KQDistFun::qorvdnlgam(kGammaArguments[i]));
    i = (i + 1) % kGammaArguments.size();
  }
}
BENCHMARK(LogGammaLibrary);

void LogGammaGlibc(benchmark::State& state) {
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(std::lgamma(kGammaArguments[i]));
    i = (i + 1) % kGammaArguments.size();
  }
}
BENCHMARK(LogGammaGlibc);

}  // namespace
