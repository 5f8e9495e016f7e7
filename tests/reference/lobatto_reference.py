#!/usr/bin/env python3
"""Reference integrals for tests/companion/LobattoQuad_test.cpp, which reads lobatto_reference.out.

The one-sample JZS t integrand (scale r = 1) over g in [2.220446049250313e-16, 1e8]:
  f(g) = (1 + n g)^(-1/2) (1 + t^2 / ((1 + n g)(n - 1)))^(-n/2) (2 pi)^(-1/2) g^(-3/2) exp(-1/(2 g))
(and, for three cases, over [0, 1e5]),
integrated with mpmath at 40 significant digits after the substitution g = exp(u), the u range cut
into unit pieces so that tanh-sinh quadrature sees the peak; each value is checked by a second run at
60 digits. Run: python3 tests/reference/lobatto_reference.py > tests/reference/lobatto_reference.out (mpmath 1.3.0);
the first line of the .out file names the versions.
"""
import mpmath


def jzs(n, t, lower=2.220446049250313e-16, upper=1e8):
    n, t = mpmath.mpf(n), mpmath.mpf(t)

    def f(u):
        g = mpmath.exp(u)
        log_f = (-mpmath.log1p(n * g) / 2 - n / 2 * mpmath.log1p(t * t / ((1 + n * g) * (n - 1)))
                 - mpmath.log(2 * mpmath.pi) / 2 - mpmath.mpf(3) / 2 * u - 1 / (2 * g))
        return mpmath.exp(log_f + u)

    # Below g = 1e-30 the integrand is below exp(-5e29): a lower limit of 0 starts the pieces there.
    lo, hi = mpmath.log(mpmath.mpf(lower) if lower > 0 else mpmath.mpf(10) ** -30), mpmath.log(mpmath.mpf(upper))
    points = [lo] + [mpmath.mpf(k) for k in range(int(mpmath.ceil(lo)), int(mpmath.floor(hi)) + 1)] + [hi]
    return mpmath.quad(f, points)


def main():
    import platform
    print(f"# {__file__.split('/')[-1]}: Python {platform.python_version()}, mpmath %s" % mpmath.__version__)
    for n in (5, 100, 10**4, 10**6):
        for t in (0, 2, 10):
            mpmath.mp.dps = 40
            value = jzs(n, t)
            mpmath.mp.dps = 60
            check = jzs(n, t)
            assert abs(value / check - 1) < mpmath.mpf(10) ** -30
            print(f"    {{\"wide\", {n}, {t}, {mpmath.nstr(value, 20)}}},")
    for n, t in ((5, 0), (100, 2), (10**6, 10)):
        mpmath.mp.dps = 40
        print(f"    {{\"from zero\", {n}, {t}, {mpmath.nstr(jzs(n, t, 0, 1e5), 20)}}},")


if __name__ == "__main__":
    main()
