# Reference values of the log-linear analysis: Rscript loglinear_reference.R > loglinear_reference.out
# Classical tests from chisq.test and fisher.test; conjugate factors from BayesFactor's
# contingencyTableBF (BF01 = 1 / BF10); intrinsic and nonparametric factors from their sums written
# out below with lgamma; Dirichlet factors from integrate() of the log-Cauchy mixtures; posterior
# moments of the log odds ratios from digamma and trigamma.
suppressMessages(library(BayesFactor))
cat(sprintf("# %s, BayesFactor %s\n", R.version.string, packageVersion("BayesFactor")))
out <- function(label, ...) cat(label, paste(sprintf("%.17g", c(...)), collapse = ", "), "\n")

tables <- list(
  t22 = matrix(c(12, 5, 3, 10), 2, byrow = TRUE),
  t23 = matrix(c(10, 4, 6, 3, 9, 8), 2, byrow = TRUE),
  t42 = matrix(c(8, 2, 5, 6, 3, 9, 1, 7), 4, byrow = TRUE),
  hair = unname(apply(HairEyeColor, c(1, 2), sum)))

# ---- classical tests
for (name in names(tables)) {
  x <- tables[[name]]
  p <- suppressWarnings(chisq.test(x, correct = FALSE))
  e <- p$expected
  g2 <- 2 * sum(ifelse(x > 0, x * log(x / e), 0))
  out(paste(name, "pearson stat, df, p"), p$statistic, p$parameter, p$p.value)
  out(paste(name, "likelihood ratio stat, p"), g2, pchisq(g2, p$parameter, lower.tail = FALSE))
}
for (name in c("t22")) {
  x <- tables[[name]]
  y <- chisq.test(x, correct = TRUE)
  d <- x[1, 1] * x[2, 2] - x[1, 2] * x[2, 1]
  out(paste(name, "yates stat, p"), y$statistic, y$p.value)
  out(paste(name, "fisher two-sided, one-sided"), fisher.test(x)$p.value,
      fisher.test(x, alternative = if (d > 0) "greater" else "less")$p.value)
}
# ad = bc: D = 0, Yates 0, Fisher pivot a
x0 <- matrix(c(4, 6, 2, 3), 2, byrow = TRUE)
out("t22 independent yates stat, fisher two-sided, one-sided", suppressWarnings(chisq.test(x0, correct = TRUE))$statistic,
    fisher.test(x0)$p.value, fisher.test(x0, alternative = "less")$p.value)

# ---- conjugate factors (BayesFactor, Gunel and Dickey)
bf01 <- function(x, ...) 1 / extractBF(contingencyTableBF(x, ...))$bf
for (a in c(1, 2.5)) {
  for (name in c("t22", "t23", "hair")) {
    x <- tables[[name]]
    out(sprintf("%s conjugate a=%g joint, rows fixed, cols fixed, poisson", name, a),
        bf01(x, sampleType = "jointMulti", priorConcentration = a),
        bf01(x, sampleType = "indepMulti", fixedMargin = "rows", priorConcentration = a),
        bf01(x, sampleType = "indepMulti", fixedMargin = "cols", priorConcentration = a),
        bf01(x, sampleType = "poisson", priorConcentration = a))
  }
}

# ---- intrinsic priors, 2 x 2 (the sums of the factor written out)
s1 <- function(v) sum(lgamma(v + 1))
intrinsicTotal <- function(n, t) {
  N <- sum(n); r <- rowSums(n); cc <- colSums(n)
  R <- sum(r > 0); K <- sum(cc > 0)
  tp <- if (t < N) t else trunc(N)
  A <- R * K - 1 + tp
  H <- lgamma(A + 1) - lgamma(A + N + 1) - s1(r) - s1(cc)
  if (t < N) H <- H + lgamma(R + N) + lgamma(K + N) - lgamma(K + t) - lgamma(R + t)
  terms <- c()
  for (y11 in 0:tp) for (y12 in 0:(tp - y11)) for (y21 in 0:(tp - y11 - y12)) {
    y <- matrix(c(y11, y12, y21, tp - y11 - y12 - y21), 2, byrow = TRUE)
    terms <- c(terms, lgamma(tp + 1) - 2 * s1(y) + s1(rowSums(y)) + s1(colSums(y)) + s1(n + y) + H)
  }
  m <- max(terms)
  -(m + log(sum(exp(terms - m))))
}
intrinsicRows <- function(n, t) {
  N <- sum(n); r <- rowSums(n); cc <- colSums(n); K <- sum(cc > 0)
  t1 <- trunc(min(t, r[1])); t2 <- trunc(min(t, r[2])); tt <- t1 + t2
  H <- lgamma(t1 + K) + lgamma(t2 + K) - lgamma(t1 + r[1] + K) - lgamma(t2 + r[2] + K) - s1(cc)
  if (t1 < r[1] || t2 < r[2]) H <- H + lgamma(N + K) - lgamma(tt + K)
  terms <- c()
  for (y1 in 0:t1) for (y2 in 0:t2) {
    terms <- c(terms, lgamma(t1 + 1) - 2 * lgamma(y1 + 1) - 2 * lgamma(t1 - y1 + 1) +
                 lgamma(n[1, 1] + y1 + 1) + lgamma(n[1, 2] + t1 - y1 + 1) +
                 lgamma(t2 + 1) - 2 * lgamma(y2 + 1) - 2 * lgamma(t2 - y2 + 1) +
                 lgamma(n[2, 1] + y2 + 1) + lgamma(n[2, 2] + t2 - y2 + 1) +
                 lgamma(y1 + y2 + 1) + lgamma(tt - y1 - y2 + 1) + H)
  }
  m <- max(terms)
  -(m + log(sum(exp(terms - m))))
}
n <- tables$t22
out("t22 intrinsic log BF01 total T=500 (all 30), T=10", intrinsicTotal(n, 500), intrinsicTotal(n, 10))
out("t22 intrinsic log BF01 rows T=5000 (all), T=6", intrinsicRows(n, 5000), intrinsicRows(n, 6))
out("t22 intrinsic log BF01 cols T=5000 (all), T=6", intrinsicRows(t(n), 5000), intrinsicRows(t(n), 6))
out("t22 intrinsic log BF01 rows T=1", intrinsicRows(n, 1))

# ---- nonparametric (Dirichlet on the two fixed rows or columns)
lb <- function(v) { v <- v[v > 0]; sum(lgamma(v)) - lgamma(sum(v)) }
nonpar <- function(x1, x2, lambda) {
  lb(lambda) + lb(lambda + x1 + x2) - lb(lambda + x1) - lb(lambda + x2)
}
x <- tables$t23
out("t23 nonparametric rows log BF01 lambda 1, lambda (0.5, 1, 2)",
    nonpar(x[1, ], x[2, ], rep(1, 3)), nonpar(x[1, ], x[2, ], c(0.5, 1, 2)))
x <- tables$t42
out("t42 nonparametric cols log BF01 lambda 1", nonpar(x[, 1], x[, 2], rep(1, 4)))

# ---- Dirichlet priors with a log-Cauchy concentration (integrate over alpha)
# ln Gamma(x + a) - ln Gamma(a) for a whole x, as a sum of logs (no cancellation at large a)
lrising <- function(a, x) if (x == 0) 0 else sum(log(a + 0:(x - 1)))
logf <- function(alpha, counts, k, s, N) {
  sapply(alpha, function(a) sum(sapply(counts, function(x) lrising(a, x))) - lrising(k * a, N) -
           log(a / s) - log(log(a / s)^2 + pi^2) - log(s))
}
logIntegral <- function(counts, k, s, N) {
  # over u = ln alpha in (-60, ln 1e8] (the range of the factor's quadrature), where the integrand
  # f(e^u) e^u is smooth
  scale <- logf(1, counts, k, s, N)
  g <- function(u) exp(logf(exp(u), counts, k, s, N) - scale + u)
  v <- sum(sapply(list(c(-60, -5), c(-5, 0), c(0, 5), c(5, 10), c(10, log(1e8))), function(r)
    integrate(g, r[1], r[2], rel.tol = 1e-10, abs.tol = 1e-13, subdivisions = 1000L)$value))
  log(v) + scale
}
dirichlet <- function(x, fix) {
  N <- sum(x); R <- nrow(x); K <- ncol(x)
  cells <- logIntegral(as.vector(x), R * K, 1, N)
  rows <- logIntegral(rowSums(x), R, if (fix == "rows") K else 1, N)
  cols <- logIntegral(colSums(x), K, if (fix == "cols") R else 1, N)
  rows + cols - cells
}
for (name in c("t22", "t23", "hair"))
  out(paste(name, "dirichlet log BF01 total, rows fixed, cols fixed"), dirichlet(tables[[name]], "total"),
      dirichlet(tables[[name]], "rows"), dirichlet(tables[[name]], "cols"))

# ---- posterior of the log odds ratios: theta = sum of +-ln lambda, lambda ~ Gamma(n + 1, 1)
x <- tables$hair
K <- ncol(x); R <- nrow(x)
for (a in 1:(R - 1)) for (b in 1:(K - 1)) {
  cells <- c(x[a, b], x[a, K], x[R, b], x[R, K])
  out(sprintf("hair log odds (%d,%d) mean, variance", a, b), sum(c(1, -1, -1, 1) * digamma(cells + 1)),
      sum(trigamma(cells + 1)))
}
