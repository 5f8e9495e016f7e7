# Least-squares fits of y on (1, x1, x2) for tests/companion/KQSymMatrix_test.cpp, unweighted and with
# frequency weights w: coefficients, residual sum of squares, and the inverse of X'WX (row by row).
# Run: Rscript tests/reference/symmatrix_regression.R > tests/reference/symmatrix_regression.out
p <- function(label, ...) cat(label, paste(sprintf("%.17g", c(...)), collapse = ", "), "\n")
cat(sprintf("# R %s\n", getRversion()))
x1 <- c(1.2, 2.3, 3.1, 4.8, 5.0, 6.7, 7.1, 8.9); x2 <- c(0.5, -1.0, 2.2, 0.3, -0.7, 1.9, 0.0, -2.1)
y <- c(3.1, 2.0, 7.9, 8.2, 6.1, 12.3, 9.0, 8.8); w <- c(1, 2, 1, 3, 1, 1, 2, 1)
X <- cbind(1, x1, x2)
for (weighted in c(FALSE, TRUE)) {
  ww <- if (weighted) w else rep(1, 8)
  f <- lm(y ~ x1 + x2, weights = ww)
  name <- if (weighted) "weighted" else "unweighted"
  p(paste(name, "coefficients"), coef(f))
  p(paste(name, "rss"), sum(ww * resid(f)^2))
  p(paste(name, "inverse"), t(solve(t(X) %*% diag(ww) %*% X)))
}
