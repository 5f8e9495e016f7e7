# Reference values of the multiple regression: least-squares fit, ANOVA and intervals from lm/anova/confint,
# Bayes factors from BayesFactor::linearReg.R2stat, the hyper-g hypergeometric form and the fixed-g closed
# form, and the conjugate posterior written with R's matrix algebra.
# Run: Rscript tests/reference/regression_fit.R > tests/reference/regression_fit.out
suppressMessages(library(BayesFactor))
p <- function(label, ...) cat(label, paste(sprintf("%.17g", c(...)), collapse = ", "), "\n")
cat(sprintf("# R %s, BayesFactor %s\n", getRversion(), packageVersion("BayesFactor")))

# mtcars, mpg on wt, hp and cyl as a factor. The analysis codes cyl 4, 6, 8 as 0, 1, 2 and finds the last
# indicator redundant, so its coefficients are R's with cylinder 8 as the base level, in the order
# intercept, cyl 4, cyl 6, (cyl 8 = 0), wt, hp. Regression weights w and frequency weights f as below.
d <- mtcars
d$cylf <- factor(d$cyl, levels = c(8, 4, 6))
w <- rep(c(1, 0.5, 2, 1.5), length.out = 32)
f <- rep(c(1, 2, 3), length.out = 32)
cylcode <- match(d$cyl, c(4, 6, 8)) - 1
carbcode <- match(d$carb, c(1, 2, 3, 4, 6, 8)) - 1
for (i in seq_len(32))
  p("car mpg, wt, hp, cyl code, w, f, carb code", d$mpg[i], d$wt[i], d$hp[i], cylcode[i], w[i], f[i], carbcode[i])
fit_lines <- function(tag, fit, n) {
  s <- summary(fit); a <- anova(fit)
  ssres <- sum(weighted.residuals(fit)^2)
  sstot <- sum(a[["Sum Sq"]])
  k <- length(coef(fit))
  p(paste(tag, "r2, adj r2, F, p"), s$r.squared, s$adj.r.squared, s$fstatistic[1],
    pf(s$fstatistic[1], s$fstatistic[2], s$fstatistic[3], lower.tail = FALSE))
  p(paste(tag, "ss reg, df reg, ss res, df res, ss total, df total"), sstot - ssres, k - 1, ssres, n - k,
    sstot, n - 1)
  b <- coef(fit); ci <- confint(fit)
  p(paste(tag, "coefficients"), b[1], b[2], b[3], 0, b[4], b[5])
  p(paste(tag, "lower 95"), ci[1, 1], ci[2, 1], ci[3, 1], 0, ci[4, 1], ci[5, 1])
  p(paste(tag, "upper 95"), ci[1, 2], ci[2, 2], ci[3, 2], 0, ci[4, 2], ci[5, 2])
  p(paste(tag, "sigma2"), s$sigma^2)
}
cat("## unweighted\n")
fit_lines("plain", lm(mpg ~ cylf + wt + hp, data = d), 32)
cat("## regression weights w\n")
fit_lines("weighted", lm(mpg ~ cylf + wt + hp, data = d, weights = w), 32)
cat("## frequency weights f: the records repeated\n")
rep_d <- d[rep(seq_len(32), f), ]
fit_lines("repeated", lm(mpg ~ cylf + wt + hp, data = rep_d), sum(f))

# A factor of six levels (carb 1, 2, 3, 4, 6, 8 coded 0 .. 5) and wt: more parameters than twice the
# effects, so the analysis accumulates sparse rows. Base level carb 8 (the last code).
d$carbf <- factor(d$carb, levels = c(8, 1, 2, 3, 4, 6))
sp <- lm(mpg ~ carbf + wt, data = d)
p("sparse r2, coefficients", summary(sp)$r.squared, coef(sp)[1:6], 0, coef(sp)[7])

# Comparison with a full model: mpg on wt against mpg on wt, hp and cyl; the Zellner-Siow factor of the
# analysis' integral over g in [eps, 1e6] by integrate(), in logs relative to its largest value.
r0 <- summary(lm(mpg ~ wt, data = d))$r.squared
r1 <- summary(lm(mpg ~ cylf + wt + hp, data = d))$r.squared
lf <- function(g, n = 32, k = 1, k1 = 4) (k1 + 1 - n) / 2 * log1p(g) + (n - k - 1) / 2 * log1p(g * (1 - r1) / (1 - r0)) +
  0.5 * log(n / (2 * pi)) - 1.5 * log(g) - n / (2 * g)
top <- optimize(function(t) lf(exp(t)) + t, c(log(.Machine$double.eps), log(1e6)), maximum = TRUE)$objective
full <- integrate(function(t) exp(lf(exp(t)) + t - top), log(.Machine$double.eps), log(1e6), rel.tol = 1e-12,
                  subdivisions = 10000L)$value
p("full r2 reduced, full, zs log BF to 1e6", r0, r1, top + log(full))

# Prediction at cyl = 6 (code 1), wt = 3, hp = 120 under the reference prior: predict(interval = "prediction").
pr <- predict(lm(mpg ~ cylf + wt + hp, data = d), data.frame(cylf = factor(6, levels = c(8, 4, 6)), wt = 3,
              hp = 120), interval = "prediction", level = 0.95)
p("plain prediction fit, lower, upper", pr[1], pr[2], pr[3])
# F test of wt = 0 and hp = 0: anova of the nested fits.
av <- anova(lm(mpg ~ cylf, data = d), lm(mpg ~ cylf + wt + hp, data = d))
p("plain F test wt = hp = 0, F, p", av$F[2], av[["Pr(>F)"]][2])

# Bayes factors of the fitted model over the intercept-only model from (N, p, R2). The analysis integrates
# g over [eps, 1e6]; linearReg.R2stat integrates to infinity, so the tail beyond 1e6 is removed:
# log BF = logBF_R + log1p(-tail / BF_R), the tail integrated relative to BF_R.
# The integral of exp(lf(g) - logbf) over g beyond 1e6, taken in u = 1/g over (0, 1e-6].
tail_integral <- function(lf, logbf)
  integrate(function(u) exp(lf(1 / u) - logbf - 2 * log(u)), 0, 1e-6, rel.tol = 1e-12)$value
zs_tail <- function(n, k, r2, c, logbf) {
  lf <- function(g) (n - k - 1) / 2 * log1p(g) - (n - 1) / 2 * log1p((1 - r2) * g) + log(c) +
    0.5 * log(n / (2 * pi)) - 1.5 * log(g) - c^2 * n / (2 * g)
  tail_integral(lf, logbf)
}
cat("## log BF: N, p, R2, c, log BF to 1e6\n")
for (row in list(c(32, 4, 0.84, 1), c(32, 4, 0.84, 0.5), c(10, 2, 0.3, 1), c(5, 1, 0.2, 1),
                 c(200, 5, 0.05, 1), c(1000, 3, 1e-7, 1), c(1e5, 10, 0.6, 1), c(50, 3, 0.5, 0.25),
                 c(20, 6, 0.9, 2))) {
  n <- row[1]; k <- row[2]; r2 <- row[3]; c <- row[4]
  lbf <- linearReg.R2stat(n, k, r2, rscale = c, simple = FALSE)$bf
  p(sprintf("zs %g %g %g %g", n, k, r2, c), n, k, r2, c, lbf + log1p(-zs_tail(n, k, r2, c, lbf)))
}

# Hyper-g (Liang et al. 2008): BF = (a - 2)/(p + a - 2) 2F1((N - 1)/2, 1; (p + a)/2; R2) to infinity, the
# series summed in logs; less ((a - 2)/2) times the integral beyond 1e6.
hyp2f1_b1 <- function(a, c, z) {  # 2F1(a, 1; c; z), 0 <= z < 1
  lt <- 0; terms <- c(); k <- 0
  repeat {
    terms <- c(terms, lt)
    lt <- lt + log(a + k) - log(c + k) + log(z); k <- k + 1
    if (k > 200000 || (lt < max(terms) - 50 && k > (a * z) / (1 - z) + 10)) break
  }
  m <- max(terms); m + log(sum(exp(terms - m)))
}
r2 <- summary(lm(mpg ~ cylf + wt + hp, data = d))$r.squared
lbf <- linearReg.R2stat(32, 4, r2, rscale = 1, simple = FALSE)$bf
p("plain zs log BF to 1e6", lbf + log1p(-zs_tail(32, 4, r2, 1, lbf)))
cat("## hyper-g log BF: N, p, R2, a, log BF to 1e6\n")
for (row in list(c(32, 4, 0.84, 3), c(10, 2, 0.3, 3), c(200, 5, 0.05, 4), c(50, 3, 0.5, 3))) {
  n <- row[1]; k <- row[2]; r2 <- row[3]; a <- row[4]
  lbf <- log((a - 2) / (k + a - 2)) + hyp2f1_b1((n - 1) / 2, (k + a) / 2, r2)
  lf <- function(g) log((a - 2) / 2) + (n - 1 - k - a) / 2 * log1p(g) - (n - 1) / 2 * log1p((1 - r2) * g)
  tail <- tail_integral(lf, lbf)
  p(sprintf("hyper %g %g %g %g", n, k, r2, a), n, k, r2, a, lbf + log1p(-tail))
}

# Conjugate posterior, mpg on wt and hp (no redundant parameter): mu0 = (30, -3, 0), V = diag(10, 1, 0.01)
# with V[2,1] = 0.5, a0 = 2, b0 = 10, 95% intervals.
X <- cbind(1, d$wt, d$hp); y <- d$mpg; n <- 32
mu0 <- c(30, -3, 0); V <- diag(c(10, 1, 0.01)); V[2, 1] <- V[1, 2] <- 0.5
a0 <- 2; b0 <- 10
Vi <- solve(V); A <- Vi + t(X) %*% X; S <- solve(A)
mus <- S %*% (Vi %*% mu0 + t(X) %*% y)
as <- a0 + n / 2; bs <- b0 + (sum(y^2) + t(mu0) %*% Vi %*% mu0 - t(mus) %*% A %*% mus) / 2
nu <- 2 * a0 + n; sc <- as.numeric(bs / as)
p("conjugate mean", mus)
p("conjugate variance", nu / (nu - 2) * sc * diag(S))
p("conjugate lower", mus - sqrt(sc * diag(S)) * qt(0.975, nu))
p("conjugate upper", mus + sqrt(sc * diag(S)) * qt(0.975, nu))
p("conjugate sigma2 mode, mean, variance, lower, upper", bs / (as + 1), bs / (as - 1),
  bs^2 / ((as - 2) * (as - 1)^2), 1 / qgamma(0.975, as, bs), 1 / qgamma(0.025, as, bs))
Fo <- as.numeric(t(mus) %*% A %*% mus / (3 * sc))
p("conjugate overall F, p", Fo, pf(Fo, 3, nu, lower.tail = FALSE))

# Conjugate posterior of the model with the cyl factor, whose last indicator is redundant: the redundant
# parameter is left out, so the posterior is that of the design intercept, cyl 4, cyl 6, wt, hp with
# mu0 = (20, 0, 0, -3, 0), V = diag(100, 10, 10, 1, 0.01), a0 = 2, b0 = 10.
X <- cbind(1, d$cyl == 4, d$cyl == 6, d$wt, d$hp)
mu0 <- c(20, 0, 0, -3, 0); V <- diag(c(100, 10, 10, 1, 0.01))
Vi <- solve(V); A <- Vi + t(X) %*% X; S <- solve(A)
mus <- S %*% (Vi %*% mu0 + t(X) %*% y)
as <- a0 + n / 2; bs <- b0 + (sum(y^2) + t(mu0) %*% Vi %*% mu0 - t(mus) %*% A %*% mus) / 2
p("conjugate redundant mean", mus[1:3], 0, mus[4:5])
p("conjugate redundant sigma2 mean", bs / (as - 1))
