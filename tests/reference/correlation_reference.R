# Reference values of the correlation analysis. Writes five tables beside this script:
#   correlation_data.out       a small data set: x1, x2, x3, x4 (nan = missing) and a frequency weight;
#   correlation_pairs.out      per pair (i, j): weighted N and r by cor(), pairwise and listwise, the
#                              records repeated by their rounded weight (0.4 drops the record, 1.5 counts 2),
#                              and per variable the number of present values of the repeated records;
#   correlation_jzs.out        (r, n, ln BF01) of the JZS factor, integrate() of the same integrand over
#                              [2.220446049250313e-16, 1e6], scaled by its maximum, rel.tol = 1e-10 (1e-8 where noted)
#                              (absolute 1e-15 times the peak position, for pieces far from the peak);
#   correlation_fractional.out (r, n, rho0, b, ln BF01, its Monte Carlo standard error for 10000 draws):
#                              the one-dimensional integrals by integrate(), the two-dimensional ones by
#                              nested integrate(); the standard error from the integrals of f^2;
#   correlation_posterior.out  (r, n, mean, variance, standard errors of both for 10000 draws) of
#                              tanh(z), z ~ N(atanh(r) - 2.5 r / n, 1 / (n + 1 - 2.5 r^2)), by integrate(),
#                              and the peak of the posterior kernel by optimize().
# Run: Rscript tests/reference/correlation_reference.R (from the top folder).
dir <- "tests/reference"
header <- sprintf("// R %s, tests/reference/correlation_reference.R\n", getRversion())
fmt <- function(x) ifelse(is.na(x), "nan", sprintf("%.17g", x))

# The data set.
set.seed(11)
n <- 40
x1 <- round(rnorm(n), 3)
x2 <- round(0.6 * x1 + rnorm(n), 3)
x3 <- round(-0.3 * x2 + rnorm(n), 3)
x4 <- round(runif(n), 3)
w <- sample(c(1, 1, 1, 2, 3), n, replace = TRUE)
w[c(4, 9)] <- 0.4
w[c(12, 30)] <- 1.5
w[33] <- 2.6
x1[c(3, 17)] <- NA
x2[8] <- NA
x3[c(20, 21, 22)] <- NA
x4[5] <- NA
X <- cbind(x1, x2, x3, x4)
con <- file(file.path(dir, "correlation_data.out"), "w")
cat(header, file = con)
for (i in 1:n) cat(paste(ifelse(is.na(c(X[i, ], w[i])), "nan", sprintf("%g", c(X[i, ], w[i]))), collapse = ", "), "\n",
                    file = con, sep = "")
close(con)

reps <- floor(w + 0.5)
Xw <- X[rep(1:n, reps), ]
pairsOut <- file(file.path(dir, "correlation_pairs.out"), "w")
cat(header, "// i, j, pairwise N, pairwise r, listwise N, listwise r\n", file = pairsOut, sep = "")
rp <- cor(Xw, use = "pairwise.complete.obs")
rl <- cor(Xw, use = "complete.obs")
nl <- sum(complete.cases(Xw))
pairList <- list()
for (i in 1:3) for (j in (i + 1):4) {
  np <- sum(complete.cases(Xw[, c(i, j)]))
  cat(sprintf("%d, %d, %s, %s, %s, %s\n", i - 1, j - 1, fmt(np), fmt(rp[i, j]), fmt(nl), fmt(rl[i, j])),
      file = pairsOut)
  pairList[[length(pairList) + 1]] <- c(rp[i, j], np)
}
cat(sprintf("varN %s\n", paste(fmt(colSums(!is.na(Xw))), collapse = ", ")), file = pairsOut)
close(pairsOut)

# JZS: ln BF01 = ln sqrt(pi) - ln sqrt(n/2) - ln J.
jzs <- function(r, n) {
  a <- (n - 2) / 2; b <- (n - 1) / 2; c <- (1 - r) * (1 + r); d <- n
  lower <- 2.220446049250313e-16; upper <- 1e6
  logf <- function(g) a * log1p(g) - b * log1p(c * g) - 1.5 * log(g) - d / (2 * g)
  opt <- optimize(function(u) logf(exp(u)), c(log(lower), log(upper)), maximum = TRUE, tol = 1e-12)
  M <- opt$objective; peak <- exp(opt$maximum)
  breaks <- c(lower, 10^(-12:6), peak * c(0.3, 0.5, 0.7, 0.8, 0.9, 0.95, 0.98, 1, 1.02, 1.05, 1.1, 1.2, 1.5, 2, 3))
  # The peak is about 1/sqrt(n) wide in ln g: a few pieces of that width around it.
  breaks <- c(breaks, peak * exp(seq(-20, 20, 2) / sqrt(n)))
  breaks <- sort(unique(breaks[breaks >= lower & breaks <= upper]))
  total <- 0
  piece <- function(from, to, tol) integrate(function(g) exp(logf(g) - M), from, to, rel.tol = tol,
                                             abs.tol = 1e-15 * peak, subdivisions = 10000L)$value
  # For n = 1e6 the log-integrand, of size 1e7, carries rounding noise near 1e-9: 1e-8 there.
  for (k in seq_len(length(breaks) - 1))
    total <- total + tryCatch(piece(breaks[k], breaks[k + 1], 1e-10),
                              error = function(e) piece(breaks[k], breaks[k + 1], 1e-8))
  0.5 * log(pi) - 0.5 * log(n / 2) - (log(total) + M)
}
jzsOut <- file(file.path(dir, "correlation_jzs.out"), "w")
cat(header, "// r, n, ln BF01\n", file = jzsOut, sep = "")
jzsCases <- list(c(0.3, 10), c(-0.5, 30), c(0.1, 100), c(0, 50), c(0.6, 5), c(0.95, 3), c(0.9, 1000),
                 c(-0.999, 10000), c(0.2, 1e6))
for (p in pairList) jzsCases[[length(jzsCases) + 1]] <- p
for (p in jzsCases) cat(sprintf("%s, %s, %s\n", fmt(p[1]), fmt(p[2]), fmt(jzs(p[1], p[2]))), file = jzsOut)
close(jzsOut)

# Fractional factor.
fractional <- function(r, n, rho0, b, N = 10000) {
  t <- 2 * r * rho0; k <- 2 - t
  h <- 0.5 * log1p(-rho0^2) - log(2 - t)
  J <- function(c) {
    f <- function(v) exp(c * log(k / (sqrt(v) + 1 / sqrt(v) - t)) - log(v))
    # The three pieces (eps, 0.5], [0.5, 2], [2, 1e6], cut further by decades so that integrate() sees the
    # mass near v = 1.
    pieces <- c(2.220446049250313e-16, 10^(-15:-1), 0.25, 0.5, 1, 2, 4, 10^(1:6))
    sum(sapply(seq_len(length(pieces) - 1), function(i)
      integrate(f, pieces[i], pieces[i + 1], rel.tol = 1e-10, subdivisions = 10000L)$value))
  }
  logP <- (n - 1) * h + log(J(n - 1)); logQ <- (n * b - 1) * h + log(J(n * b - 1))
  twoDim <- function(fraction, power) {
    e1 <- (fraction * n - 3) / 2; e2 <- 1 - fraction * n
    f <- function(v, rho) exp(power * (e1 * log1p(-rho^2) - log(v) + e2 * log(sqrt(v) + 1 / sqrt(v) - 2 * r * rho)))
    # The three v ranges, each cut where integrate() would otherwise miss the mass near v = 1.
    ranges <- list(c(0, 1e-3, 0.01, 0.1, 0.25, 0.5), c(0.5, 0.75, 1, 1.5, 2), c(2, 4, 8, 16, 32, 100, 300, 1000))
    sapply(ranges, function(range) {
      inner <- function(rho) sapply(rho, function(p) sum(sapply(seq_len(length(range) - 1), function(i)
        integrate(function(v) f(v, p), range[i], range[i + 1], rel.tol = 1e-10, subdivisions = 10000L)$value)))
      integrate(inner, -1, 1, rel.tol = 1e-10, subdivisions = 10000L)$value
    })
  }
  se <- function(fraction) {
    I <- twoDim(fraction, 1); I2 <- twoDim(fraction, 2)
    areas <- c(0.5, 1.5, 998) * 2
    list(I = sum(I), se = sqrt(sum((areas * I2 - I^2) / N)) / sum(I))
  }
  one <- se(1); frac <- se(b)
  c(logP - logQ + log(frac$I) - log(one$I), sqrt(one$se^2 + frac$se^2))
}
fracOut <- file(file.path(dir, "correlation_fractional.out"), "w")
cat(header, "// r, n, rho0, b, ln BF01, Monte Carlo standard error of ln BF01\n", file = fracOut, sep = "")
for (p in list(c(0.4, 20, 0, 0.5), c(-0.3, 15, 0.2, 0.5), c(0.6, 40, 0.1, 0.8))) {
  v <- fractional(p[1], p[2], p[3], p[4])
  cat(paste(fmt(c(p, v)), collapse = ", "), "\n", file = fracOut, sep = "")
}
close(fracOut)

# Posterior moments of tanh(z).
postOut <- file(file.path(dir, "correlation_posterior.out"), "w")
cat(header, "// r, n, mean, variance, standard error of the mean and of the variance for 10000 draws, kernel peak\n",
    file = postOut, sep = "")
for (p in c(pairList, list(c(0.3, 10), c(-0.95, 200)))) {
  r <- p[1]; nn <- p[2]
  mu <- atanh(r) - 2.5 * r / nn; s <- sqrt(1 / (nn + 1 - 2.5 * r^2))
  moment <- function(g) integrate(function(z) g(tanh(z)) * dnorm(z, mu, s), mu - 40 * s, mu + 40 * s,
                                  rel.tol = 1e-13, subdivisions = 10000L)$value
  m <- moment(identity); v <- moment(function(x) (x - m)^2); m4 <- moment(function(x) (x - m)^4)
  # The peak of the posterior kernel l(rho) = ((n - 1)/2) ln(1 - rho^2) - (n - 1.5) ln(1 - rho r), c = 0.
  peak <- optimize(function(rho) (nn - 1) / 2 * log1p(-rho^2) - (nn - 1.5) * log1p(-rho * r), c(-1, 1),
                   maximum = TRUE, tol = 1e-12)$maximum
  cat(paste(fmt(c(r, nn, m, v, sqrt(v / 10000), sqrt((m4 - v^2) / 10000), peak)), collapse = ", "), "\n",
      file = postOut, sep = "")
}
close(postOut)
