# R's lm + summary on the data of bench/regression_bench.cpp (the same closed forms), timed.
# Run: Rscript bench/regression_lm.R   (or bench/regression_vs_lm.sh, which runs both)
n <- 1e6
i <- 0:(n - 1)
noise <- function(x) { v <- sin(12.9898 * x) * 43758.5453; v - floor(v) }
covariates <- sapply(0:49, function(j) sin(0.5 * i + 1.3 * j) + noise(i + 1000 * (j + 1)))
y <- noise(i) + drop(covariates %*% (0.01 * (1:50)))
t50 <- system.time(s50 <- summary(lm(y ~ covariates)))[["elapsed"]]
qr50 <- system.time(qr(cbind(1, covariates)))[["elapsed"]]
level <- i %% 200
y2 <- noise(i) + 0.01 * level
f <- factor(level)
t200 <- system.time(s200 <- summary(lm(y2 ~ f)))[["elapsed"]]
cat(sprintf("R lm + summary, 1e6 x 50 covariates: %.2f s (its QR alone %.2f s); R2 = %.10f\n", t50, qr50, s50$r.squared))
cat(sprintf("R lm + summary, 1e6 with a 200-level factor: %.2f s; R2 = %.10f\n", t200, s200$r.squared))
