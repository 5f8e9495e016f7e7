# Reference values of the one-sample JZS Bayes factor BF01 (Cauchy prior, scale 1).
# Column 1: R's integrate() of the g-integral, rel.tol = 1e-12, the integrand scaled by 1/L0.
# Column 2: BayesFactor::ttest.tstat(t, n1 = n, rscale = 1), BF01 = exp(-bf), with its proportional error.
# Run: Rscript tests/reference/jzs_onesample.R
suppressMessages(library(BayesFactor))
bf01_integrate <- function(n, t) {
  nu <- n - 1
  logL0 <- -(nu + 1) / 2 * log1p(t^2 / nu)
  f <- function(g) {
    spread <- 1 + n * g
    exp(-0.5 * log(spread) - (nu + 1) / 2 * log1p(t^2 / spread / nu) +
        log(1 / sqrt(2 * pi)) - 1.5 * log(g) - 0.5 / g - logL0)
  }
  # Split at the integrand's scale so that integrate() sees the peak.
  peak <- max(1e-3, min(1e3, (t^2) / n))
  pieces <- c(0, peak / 100, peak, peak * 100, Inf)
  total <- 0
  for (i in 1:4) total <- total + integrate(f, pieces[i], pieces[i + 1], rel.tol = 1e-12, subdivisions = 10000L)$value
  1 / total
}
cat(sprintf("// R %s, BayesFactor %s\n", getRversion(), packageVersion("BayesFactor")))
for (n in c(5, 20, 100, 1000, 1e4, 1e5)) {
  for (t in c(0, 0.5, 2, -3, 5, 10)) {
    a <- bf01_integrate(n, t)
    r <- ttest.tstat(t = t, n1 = n, rscale = 1)
    cat(sprintf("    {%g, %g, %.17g, %.17g, %.3g},\n", n, t, a, exp(-r$bf), r$properror))
  }
}
