# Reference values of the two related samples analysis on Student's sleep data (datasets::sleep:
# extra sleep under drug 1 and drug 2 for the same ten patients), from R and BayesFactor only.
# Run: Rscript tests/reference/related_sleep.R > tests/reference/related_sleep.out
suppressMessages(library(BayesFactor))
p <- function(label, ...) cat(label, paste(sprintf("%.17g", c(...)), collapse = ", "), "\n")
cat(sprintf("# R %s, BayesFactor %s\n", getRversion(), packageVersion("BayesFactor")))

x <- sleep$extra[sleep$group == 1]
y <- sleep$extra[sleep$group == 2]
d <- x - y; n <- length(d)

cat("## paired t test of x - y: t, df, p-value; mean, sd, se of the differences\n")
tt <- t.test(x, y, paired = TRUE)
p("t df p", tt$statistic, tt$parameter, tt$p.value)
p("mean sd se", mean(d), sd(d), sd(d) / sqrt(n))
tm <- t.test(x, y, paired = TRUE, mu = -1)
p("mu = -1: t p", tm$statistic, tm$p.value)

cat("## JZS BF01, Cauchy scale 1: 1/ttestBF(paired) with its proportional error; integrate() of the g-integral\n")
bf <- ttestBF(x, y, paired = TRUE, rscale = 1)
p("ttestBF BF01, error", 1 / extractBF(bf)$bf, extractBF(bf)$error)
bf01_integrate <- function(n, t) {
  nu <- n - 1
  logL0 <- -(nu + 1) / 2 * log1p(t^2 / nu)
  f <- function(g) exp(-0.5 * log1p(n * g) - (nu + 1) / 2 * log1p(t^2 / (1 + n * g) / nu) +
                       log(1 / sqrt(2 * pi)) - 1.5 * log(g) - 0.5 / g - logL0)
  peak <- max(1e-3, min(1e3, t^2 / n)); pieces <- c(0, peak / 100, peak, peak * 100, Inf)
  total <- 0
  for (i in 1:4) total <- total + integrate(f, pieces[i], pieces[i + 1], rel.tol = 1e-12, subdivisions = 10000L)$value
  1 / total
}
p("integrate BF01", bf01_integrate(n, unname(tt$statistic)))

cat("## diffuse prior: nu = n - 3, w = SS/(n nu); mean, variance w nu/(nu - 2), 95% limits\n")
nu <- n - 3; w <- sum((d - mean(d))^2) / (n * nu)
p("diffuse", mean(d), w * nu / (nu - 2), mean(d) + sqrt(w) * qt(c(0.025, 0.975), nu))

cat("## fixed g = 0.5 and known variance 1.5 with g = 2, mu0 = 0\n")
fixedg <- function(t, n, g) { nu <- n - 1
  sqrt(1 + n * g) * (1 + t^2 / ((1 + n * g) * nu))^((nu + 1) / 2) / (1 + t^2 / nu)^((nu + 1) / 2) }
p("fixed g 0.5", fixedg(unname(tt$statistic), n, 0.5))
p("known variance 1.5, g 2", dnorm(mean(d), 0, sqrt(1.5 / n)) / dnorm(mean(d), 0, sqrt(1.5 * (1 + n * 2) / n)))

cat("## pairwise deletion: patient 3's drug 1 value missing\n")
tk <- t.test(x[-3], y[-3], paired = TRUE)
p("t df p", tk$statistic, tk$parameter, tk$p.value)
