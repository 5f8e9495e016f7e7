# Reference values of the one-way ANOVA: category means, R squared, the ANOVA table and intervals from
# lm/anova/confint, Bayes factors from BayesFactor::linearReg.R2stat (less the tail beyond g = 1e6) and the
# fixed-g closed form, and the posteriors (reference and conjugate) written with R's distribution functions
# and matrix algebra.
# Run: Rscript tests/reference/anova_reference.R > tests/reference/anova_reference.out
suppressMessages(library(BayesFactor))
p <- function(label, ...) cat(label, paste(sprintf("%.17g", c(...)), collapse = ", "), "\n")
cat(sprintf("# R %s, BayesFactor %s\n", getRversion(), packageVersion("BayesFactor")))

# chickwts: weight by feed (6 feeds, 10 to 14 chicks each). The analysis codes the feeds 0 .. 5 in the
# order of R's levels (casein, horsebean, linseed, meatmeal, soybean, sunflower). Regression weights w and
# frequency weights f as below.
d <- chickwts
n0 <- nrow(d)
code <- as.integer(d$feed) - 1
w <- rep(c(1, 0.5, 2, 1.5), length.out = n0)
f <- rep(c(1, 2, 3), length.out = n0)
for (i in seq_len(n0)) p("chick weight, feed code, w, f", d$weight[i], code[i], w[i], f[i])

# The Zellner-Siow (rscale 1) and Rouder (rscale c) factor of (N, k, R2) integrated over g in [eps, 1e6]:
# linearReg.R2stat integrates to infinity, so the tail beyond 1e6 is removed:
# log BF = logBF_R + log1p(-tail / BF_R), the tail integrated in u = 1/g over (0, 1e-6].
zs_log_bf <- function(n, k, r2, c) {
  lbf <- linearReg.R2stat(n, k, r2, rscale = c, simple = FALSE)$bf
  lf <- function(g) (n - k - 1) / 2 * log1p(g) - (n - 1) / 2 * log1p((1 - r2) * g) + log(c) +
    0.5 * log(n / (2 * pi)) - 1.5 * log(g) - c^2 * n / (2 * g)
  tail <- integrate(function(u) exp(lf(1 / u) - lbf - 2 * log(u)), 0, 1e-6, rel.tol = 1e-12)$value
  lbf + log1p(-tail)
}

fit_lines <- function(tag, data, weights, n) {
  data$wt <- weights
  full <- lm(weight ~ feed, data = data, weights = wt)
  cells <- lm(weight ~ feed - 1, data = data, weights = wt)
  s <- summary(full); a <- anova(full)
  k <- nlevels(data$feed)
  p(paste(tag, "means"), coef(cells))
  ci <- confint(cells)
  p(paste(tag, "lower 95"), ci[, 1])
  p(paste(tag, "upper 95"), ci[, 2])
  p(paste(tag, "r2, adj r2"), s$r.squared, s$adj.r.squared)
  # The ANOVA table: regression SS, df, MS, F, p; residual SS, df, MS; total SS, df.
  p(paste(tag, "anova"), a[1, "Sum Sq"], a[1, "Df"], a[1, "Mean Sq"], a[1, "F value"], a[1, "Pr(>F)"],
    a[2, "Sum Sq"], a[2, "Df"], a[2, "Mean Sq"], sum(a[["Sum Sq"]]), n - 1)
  # Reference prior: sigma^2 | y ~ IG(nu/2, nu s^2/2) with nu = N - k; mode, mean, variance, 95% limits.
  nu <- n - k; s2 <- s$sigma^2; sh <- nu / 2; sc <- nu * s2 / 2
  p(paste(tag, "sigma2 posterior"), sc / (sh + 1), sc / (sh - 1), sc^2 / ((sh - 2) * (sh - 1)^2),
    1 / qgamma(0.975, sh, sc), 1 / qgamma(0.025, sh, sc))
  # Coefficient variance: s^2 / W_c times nu / (nu - 2).
  p(paste(tag, "mean variances"), diag(vcov(cells)) * nu / (nu - 2))
  p(paste(tag, "zs log BF to 1e6"), zs_log_bf(n, k - 1, s$r.squared, 1))
  p(paste(tag, "rouder 0.5 log BF to 1e6"), zs_log_bf(n, k - 1, s$r.squared, 0.5))
  # Fixed g = 20: ln BF = ((N - k)/2) ln(1 + g) + ((1 - N)/2) ln(1 + (1 - R2) g), k - 1 predictors.
  g <- 20
  p(paste(tag, "zellner g 20 log BF"), (n - k) / 2 * log1p(g) + (1 - n) / 2 * log1p((1 - s$r.squared) * g))
}
cat("## unweighted\n")
fit_lines("plain", d, rep(1, n0), n0)
cat("## regression weights w\n")
fit_lines("weighted", d, w, n0)
cat("## frequency weights f: the records repeated\n")
fit_lines("repeated", d[rep(seq_len(n0), f), ], rep(1, sum(f)), sum(f))

# Conjugate posterior of the six means: mu0 = 250 each, V = diag(100), a0 = 2, b0 = 1000, 95% intervals.
X <- model.matrix(~ feed - 1, data = d); y <- d$weight
mu0 <- rep(250, 6); V <- diag(100, 6); a0 <- 2; b0 <- 1000
Vi <- solve(V); A <- Vi + t(X) %*% X; S <- solve(A)
mus <- S %*% (Vi %*% mu0 + t(X) %*% y)
as <- a0 + n0 / 2; bs <- as.numeric(b0 + (sum(y^2) + t(mu0) %*% Vi %*% mu0 - t(mus) %*% A %*% mus) / 2)
nu <- 2 * a0 + n0; sc <- bs / as
p("conjugate means", mus)
p("conjugate lower", mus - sqrt(sc * diag(S)) * qt(0.975, nu))
p("conjugate upper", mus + sqrt(sc * diag(S)) * qt(0.975, nu))
p("conjugate sigma2 mode, mean, variance, lower, upper", bs / (as + 1), bs / (as - 1),
  bs^2 / ((as - 2) * (as - 1)^2), 1 / qgamma(0.975, as, bs), 1 / qgamma(0.025, as, bs))

# A category that weighs less than the tolerance (0.5) is left out with coefficient 0, so its case's y'Wy
# stays in the residual sum: y = 0, 1 in category 0, 0, 1 in category 1, and y = 10 of weight 0.25 in
# category 2. SSE = 0.5 + 0.5 + 0.25 * 10^2; SST about the weighted mean; R2 = 1 - SSE/SST is negative.
yy <- c(0, 1, 0, 1, 10); ww <- c(1, 1, 1, 1, 0.25)
m <- sum(ww * yy) / sum(ww)
sse <- 0.5 + 0.5 + 0.25 * 100; sst <- sum(ww * (yy - m)^2)
p("light category sse, sst, r2", sse, sst, 1 - sse / sst)
