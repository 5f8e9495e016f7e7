# Reference predictions for scoring records with a fitted regression.
# Run: Rscript tests/reference/regression_score.R > tests/reference/regression_score.out
p <- function(label, ...) cat(label, paste(sprintf("%.17g", c(...)), collapse = ", "), "\n")
cat(sprintf("# R %s\n", getRversion()))

# mtcars as in regression_fit.R: cyl coded 0, 1, 2 for 4, 6, 8 cylinders (8 is the base level, the
# design's redundant last indicator), carb coded 0 .. 5 for 1, 2, 3, 4, 6, 8 carburettors.
d <- mtcars
d$cylf <- factor(d$cyl, levels = c(8, 4, 6))
d$carbf <- factor(d$carb, levels = c(8, 1, 2, 3, 4, 6))
cylcode <- match(d$cyl, c(4, 6, 8)) - 1
carbcode <- match(d$carb, c(1, 2, 3, 4, 6, 8)) - 1
rows <- c(1, 5, 10, 19, 29, 31)
# Scored records: wt, hp, cyl code, carb code of some cars, then one car that is not in the data.
new <- data.frame(wt = c(d$wt[rows], 3), hp = c(d$hp[rows], 120), cylcode = c(cylcode[rows], 1),
                  carbcode = c(carbcode[rows], 3))
new$cylf <- factor(c(8, 4, 6)[match(new$cylcode, c(2, 0, 1))], levels = c(8, 4, 6))
new$carbf <- factor(c(1, 2, 3, 4, 6, 8)[new$carbcode + 1], levels = c(8, 1, 2, 3, 4, 6))
for (i in seq_len(nrow(new))) p("record wt, hp, cyl code, carb code", new$wt[i], new$hp[i], new$cylcode[i],
                                 new$carbcode[i])

# Reference prior: the prediction is the least-squares fit, its limits predict(interval = "prediction"),
# its variance the predictive t's: (s^2 + se.fit^2) nu / (nu - 2).
ref_lines <- function(tag, fit, level) {
  pr <- predict(fit, new, interval = "prediction", level = level, se.fit = TRUE)
  nu <- pr$df; s2 <- pr$residual.scale^2
  for (i in seq_len(nrow(new)))
    p(paste(tag, "fit, variance, lower, upper"), pr$fit[i, 1], (s2 + pr$se.fit[i]^2) * nu / (nu - 2),
      pr$fit[i, 2], pr$fit[i, 3])
}
ref_lines("dense 95", lm(mpg ~ cylf + wt + hp, data = d), 0.95)
ref_lines("dense 80", lm(mpg ~ cylf + wt + hp, data = d), 0.80)
ref_lines("sparse 95", lm(mpg ~ carbf + wt, data = d), 0.95)

# Conjugate prior, design intercept, cyl 4, cyl 6, wt, hp (the redundant cyl 8 indicator left out):
# mu0 = (20, 0, 0, -3, 0), V = diag(100, 10, 10, 1, 0.01), a0 = 2, b0 = 10. The predictive distribution of
# a new case x is t_nu(x mu*, (b*/a*)(1 + x' S x)) with S = A^-1: mean x mu*, variance
# (1 + x' S x) b*/(a* - 1), 95% limits x mu* -/+ sqrt((b*/a*)(1 + x' S x)) qt(0.975, nu).
X <- cbind(1, d$cyl == 4, d$cyl == 6, d$wt, d$hp); y <- d$mpg; n <- 32
mu0 <- c(20, 0, 0, -3, 0); V <- diag(c(100, 10, 10, 1, 0.01)); a0 <- 2; b0 <- 10
Vi <- solve(V); A <- Vi + t(X) %*% X; S <- solve(A)
mus <- S %*% (Vi %*% mu0 + t(X) %*% y)
as <- a0 + n / 2; bs <- as.numeric(b0 + (sum(y^2) + t(mu0) %*% Vi %*% mu0 - t(mus) %*% A %*% mus) / 2)
nu <- 2 * a0 + n
Xn <- cbind(1, new$cylcode == 0, new$cylcode == 1, new$wt, new$hp)
for (i in seq_len(nrow(new))) {
  x <- Xn[i, ]; h <- as.numeric(t(x) %*% S %*% x); m <- sum(x * mus)
  half <- sqrt(bs / as * (1 + h)) * qt(0.975, nu)
  p("conjugate 95 fit, variance, lower, upper", m, (1 + h) * bs / (as - 1), m - half, m + half)
}

# (X'X)^-1 of the dense model, the unscaled covariance summary(lm)$cov.unscaled, in the design's order
# intercept, cyl 4, cyl 6, wt, hp (the redundant cyl 8 indicator has no row): its lower triangle by rows.
cu <- summary(lm(mpg ~ cylf + wt + hp, data = d))$cov.unscaled
for (i in 1:5) p(sprintf("dense unscaled covariance row %d", i - 1), cu[i, 1:i])
