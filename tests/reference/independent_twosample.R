# Reference values of the two independent samples analysis: group statistics, pooled and Welch t tests,
# and the three Bayes factors BF01 (equal means over different means), from R and BayesFactor only.
# Our mean difference is group 2 (grouping value 1) minus group 1 (grouping value 0), so every t below
# is R's t.test(y ~ g) statistic with its sign changed.
# Run: Rscript tests/reference/independent_twosample.R > tests/reference/independent_twosample.out
suppressMessages(library(BayesFactor))
p <- function(label, ...) cat(label, paste(sprintf("%.17g", c(...)), collapse = ", "), "\n")
cat(sprintf("# R %s, BayesFactor %s\n", getRversion(), packageVersion("BayesFactor")))

# The Rouder BF01: L0 / D, D the integral over g of (1 + h g)^(-1/2) (1 + t^2/((1 + h g) nu))^(-(nu+1)/2)
# times the inverse-gamma(1/2, 1/2) density, taken relative to L0 and split at the integrand's scale.
rouder <- function(t, h, nu, upper) {
  logL0 <- -(nu + 1) / 2 * log1p(t^2 / nu)
  f <- function(g) {
    spread <- 1 + h * g
    exp(-0.5 * log(spread) - (nu + 1) / 2 * log1p(t^2 / spread / nu) +
        log(1 / sqrt(2 * pi)) - 1.5 * log(g) - 0.5 / g - logL0)
  }
  peak <- max(1e-3, min(1e3, t^2 / h))
  ends <- c(.Machine$double.eps, peak / 100, peak, peak * 100, upper)
  ends <- ends[ends <= upper]
  total <- 0
  for (i in seq_len(length(ends) - 1))
    total <- total + integrate(f, ends[i], ends[i + 1], rel.tol = 1e-12, subdivisions = 10000L)$value
  1 / total
}
gonen <- function(t, h, nu, lambda, sigma2) {
  k <- h * sigma2 + 1
  if (lambda == 0) sqrt(k) * ((1 + t^2 / nu) / (1 + t^2 / (k * nu)))^(-(nu + 1) / 2)
  else sqrt(k) * dt(t, nu) / dt(t / sqrt(k), nu, lambda * sqrt(h) / sqrt(k))
}
hyper <- function(t, nu, a) {
  exp(lgamma(a + 1) + lgamma((nu + 1) / 2) - lgamma(a + 1.5) - lgamma(nu / 2)) *
    (1 + t^2 / nu)^(-(nu - 2 * a - 2) / 2)
}
report <- function(label, y, g) {
  x1 <- y[g == 0]; x2 <- y[g == 1]; n1 <- length(x1); n2 <- length(x2)
  pooled <- t.test(y ~ g, var.equal = TRUE); welch <- t.test(y ~ g, var.equal = FALSE)
  t <- -unname(pooled$statistic); nu <- n1 + n2 - 2; h <- n1 * n2 / (n1 + n2)
  cat(sprintf("## %s: n1 = %d, n2 = %d\n", label, n1, n2))
  p("group 1 mean, sd, se", mean(x1), sd(x1), sd(x1) / sqrt(n1))
  p("group 2 mean, sd, se", mean(x2), sd(x2), sd(x2) / sqrt(n2))
  p("pooled t, df, p, mean difference, se", t, pooled$parameter, pooled$p.value, mean(x2) - mean(x1),
    (mean(x2) - mean(x1)) / t)
  p("welch t, p, se", -welch$statistic, welch$p.value, welch$stderr)
  p("pooled 95% interval of the difference (flat priors, equal variances)", -rev(pooled$conf.int))
  p("rouder integrate [eps, 1e6], [eps, Inf]", rouder(t, h, nu, 1e6), rouder(t, h, nu, Inf))
  r <- ttest.tstat(t, n1, n2, rscale = 1)
  p("rouder ttest.tstat BF01, proportional error", exp(-r$bf), r$properror)
  b <- ttestBF(formula = y ~ g, data = data.frame(y = y, g = factor(g)), rscale = 1)
  p("rouder ttestBF BF01, proportional error", 1 / extractBF(b)$bf, extractBF(b)$error)
  p("gonen (0, 1), (0.5, 0.25), (-0.3, 2)", gonen(t, h, nu, 0, 1), gonen(t, h, nu, 0.5, 0.25),
    gonen(t, h, nu, -0.3, 2))
  p("hyper a = 3, 0.75", hyper(t, nu, 3), hyper(t, nu, 0.75))
}

report("mtcars mpg by am", mtcars$mpg, mtcars$am)
report("mtcars wt by am", mtcars$wt, mtcars$am)
report("sleep extra by group", sleep$extra, as.numeric(sleep$group) - 1)

cat("## sleep with frequency weights: rows repeated 2 (2.4), 3 (2.5), dropped (0.4, 0, -1, NA), else 1\n")
w <- c(2, 3, 0, 0, 0, 0, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 3, 2, 1, 1)
report("sleep rep(extra, w)", rep(sleep$extra, w), rep(as.numeric(sleep$group) - 1, w))

cat("## sleep with regression weights r (frequency 1): weighted mean, sum r (x - m)^2 / (n - 1), se\n")
r <- c(0.5, 2, 1, 1, 1.5, 1, 1, 1, 1, 1, 1, 1, 0.25, 1, 1, 1, 1, 3, 1, 1)
for (k in 1:2) {
  x <- sleep$extra[sleep$group == k]; wk <- r[sleep$group == k]; m <- weighted.mean(x, wk)
  v <- sum(wk * (x - m)^2) / (length(x) - 1)
  p(sprintf("group %d mean, sd, se", k), m, sqrt(v), sqrt(v / length(x)))
}

cat("## one case in group 1 (sleep extra[1]) against group 2 of sleep: pooled t test\n")
y <- c(sleep$extra[1], sleep$extra[11:20]); g <- c(0, rep(1, 10))
one <- t.test(y ~ g, var.equal = TRUE)
p("t, df, p", -one$statistic, one$parameter, one$p.value)

cat("## closed forms at chosen points\n")
p("gonen t = 2.5, h = 6, nu = 10: lambda 0, 1e-7 (sigma2 = 1)", gonen(2.5, 6, 10, 0, 1), gonen(2.5, 6, 10, 1e-7, 1))
p("hyper a = 0, t = 0, nu = 10: gamma(1) gamma(5.5) / (gamma(1.5) gamma(5))",
  gamma(1) * gamma(5.5) / (gamma(1.5) * gamma(5)))

cat("## Monte Carlo relative standard error of D for mtcars mpg, M = 10000 (simulated, 200 replicates)\n")
set.seed(1)
h <- 19 * 13 / 32; nu <- 30; t <- 4.1061269831006904
est <- replicate(200, { g <- 1 / rgamma(10000, 0.5, rate = 0.5)
  mean((1 + h * g)^-0.5 * (1 + t^2 / ((1 + h * g) * nu))^(-(nu + 1) / 2)) })
p("relative sd of D", sd(est) / mean(est))
p("hyper t = 5, nu = 10, a = 3 (|t| / sqrt(nu) > 1)", hyper(5, 10, 3))
