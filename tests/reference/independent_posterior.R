# Reference values of the posterior of delta = mu2 - mu1 in the two independent samples analysis,
# from base R only (no kqbayes code): each prior's posterior worked from its formulas, the pooled
# interval also from t.test, Patil's approximation from the angle theta, profile sums of squares.
# Run: Rscript tests/reference/independent_posterior.R > tests/reference/independent_posterior.out
p <- function(label, ...) cat(label, paste(sprintf("%.17g", c(...)), collapse = ", "), "\n")
cat(sprintf("# R %s\n", getRversion()))

x1 <- c(4.2, 5.1, 3.8, 6.0, 5.5, 4.9, 5.3)       # group 1 (grouping value 0)
x2 <- c(6.1, 7.3, 5.8, 6.9, 8.2, 7.7, 6.4, 7.0)  # group 2 (grouping value 1)
n1 <- length(x1); n2 <- length(x2); m1 <- mean(x1); m2 <- mean(x2); v1 <- var(x1); v2 <- var(x2)
d <- m2 - m1
h <- 0.005 / 2  # plot domain level 0.005, half in each tail
p("n1 m1 v1", n1, m1, v1)
p("n2 m2 v2", n2, m2, v2)

cat("## flat priors, known variances 0.8 and 1.1: mean, variance, 95% limits, delta domain, density at both\n")
v <- 0.8 / n1 + 1.1 / n2
p("diffuse known", d, v, qnorm(c(0.025, 0.975), d, sqrt(v)))
dom <- qnorm(c(h, 1 - h), d, sqrt(v))
p("  delta domain, dnorm at lower and at d", dom, dnorm(dom[1], d, sqrt(v)), dnorm(d, d, sqrt(v)))
p("  group 1 domain, group 2 domain", qnorm(c(h, 1 - h), m1, sqrt(0.8)), qnorm(c(h, 1 - h), m2, sqrt(1.1)))

cat("## normal priors mu1 ~ N(5, 2), mu2 ~ N(6, 3), known variances 0.8 and 1.1\n")
w1 <- 1 / (n1 / 0.8 + 1 / 2); p1 <- (m1 * n1 / 0.8 + 5 / 2) * w1
w2 <- 1 / (n2 / 1.1 + 1 / 3); p2 <- (m2 * n2 / 1.1 + 6 / 3) * w2
p("normal known", p2 - p1, w1 + w2, qnorm(c(0.025, 0.975), p2 - p1, sqrt(w1 + w2)))
pd1 <- qnorm(c(h, 1 - h), 5, sqrt(2))
p("  prior 1 domain, dnorm at its lower end", pd1, dnorm(pd1[1], 5, sqrt(2)))
p("  prior 2 domain", qnorm(c(h, 1 - h), 6, sqrt(3)))

cat("## Jeffreys, equal variances: nu, s^2, variance, 95% and 90% limits (t.test var.equal)\n")
nu <- n1 + n2 - 2
s2 <- (1 / n1 + 1 / n2) * ((n1 - 1) * v1 + (n2 - 1) * v2) / nu
p("jeffreys", nu, s2, s2 * nu / (nu - 2), t.test(x2, x1, var.equal = TRUE)$conf.int)
p("  90%", t.test(x2, x1, var.equal = TRUE, conf.level = 0.9)$conf.int)
q <- qt(1 - h, nu)
p("  delta domain, density dt at lower and at d", d - q * sqrt(s2), d + q * sqrt(s2),
  dt(-q, nu) / sqrt(s2), dt(0, nu) / sqrt(s2))

cat("## inverse chi-square prior nu0 = 3, s0^2 = 0.5\n")
nu <- 3 + n1 + n2 - 2
s2 <- (1 / n1 + 1 / n2) * ((n1 - 1) * v1 + (n2 - 1) * v2 + 3 * 0.5) / nu
p("inverse chi", nu, s2, s2 * nu / (nu - 2), d + c(-1, 1) * qt(0.975, nu) * sqrt(s2))

cat("## Jeffreys with two cases per group: x1 = (1, 2), x2 = (2.5, 4.5); nu = 2\n")
s2 <- (1 / 2 + 1 / 2) * (var(c(1, 2)) + var(c(2.5, 4.5))) / 2
p("two per group", s2, 2 + c(-1, 1) * qt(0.975, 2) * sqrt(s2))

cat("## Patil: theta from its tangent, sin with group 1\n")
patil <- function(n1, v1, n2, v2) {
  nu1 <- n1 - 1; nu2 <- n2 - 1
  th <- atan(sqrt(v1 / n1) / sqrt(v2 / n2))
  f1 <- nu2 / (nu2 - 2) * cos(th)^2 + nu1 / (nu1 - 2) * sin(th)^2
  f2 <- nu2^2 / ((nu2 - 2)^2 * (nu2 - 4)) * cos(th)^4 + nu1^2 / ((nu1 - 2)^2 * (nu1 - 4)) * sin(th)^4
  b <- 4 + f1^2 / f2
  c(a = sqrt(f1 * (b - 2) / b), b = b)
}
ab <- patil(n1, v1, n2, v2)
se2 <- v1 / n1 + v2 / n2
p("a b", ab)
p("  variance, 95% limits", ab[2] / (ab[2] - 2) * ab[1]^2 * se2,
  d + c(-1, 1) * qt(0.975, ab[2]) * ab[1] * sqrt(se2))
p("  exact Behrens-Fisher variance nu1/(nu1-2) v1/n1 + nu2/(nu2-2) v2/n2",
  (n1 - 1) / (n1 - 3) * v1 / n1 + (n2 - 1) / (n2 - 3) * v2 / n2)
p("patil(6, 2.5, 20, 0.3)", patil(6, 2.5, 20, 0.3))
p("patil(20, 0.3, 6, 2.5)", patil(20, 0.3, 6, 2.5))

cat("## profile pass, weighted rows (f rounded half up, w = f r); 3 grid points\n")
# The test's rows also hold cases the pass drops: frequency weight 0.4 or missing, regression weight 0
# or -1, a missing x, grouping values 2 and missing, a null record; only the kept cases are listed here.
g1 <- data.frame(x = c(4.2, 5.1, 3.8, 5.5), f = c(1, 2, 1, 3), r = c(1, 0.5, 2, 1))
g2 <- data.frame(x = c(6.1, 5.8, 6.9, 7.7), f = c(1, 1, 3, 1), r = c(1, 1.5, 1, 1))
prof <- function(g, gridVariance, known) {
  w <- g$f * g$r; n <- sum(g$f); m <- sum(w * g$x) / sum(w); vv <- sum(w * (g$x - m)^2) / (n - 1)
  lo <- qnorm(h, m, sqrt(if (known) gridVariance else vv)); hi <- qnorm(1 - h, m, sqrt(if (known) gridVariance else vv))
  mu <- c(lo, lo + (hi - lo) / 2)
  S <- sapply(mu, function(u) sum(w * (g$x - u)^2))
  c(n, m, vv, mu, if (known) -S / (2 * gridVariance) else -(n / 2) * log(S / n))
}
p("group 1 estimated: n mean var mu0 mu1 l0 l1", prof(g1, NA, FALSE))
p("group 2 estimated: n mean var mu0 mu1 l0 l1", prof(g2, NA, FALSE))
p("group 1 known 0.8: n mean var mu0 mu1 l0 l1", prof(g1, 0.8, TRUE))
p("group 2 known 1.1: n mean var mu0 mu1 l0 l1", prof(g2, 1.1, TRUE))

cat("## plot grid from 0.1 to 1.3 with 7 points, each point the previous one plus the step\n")
s <- (1.3 - 0.1) / 6
p("running sum", Reduce(`+`, rep(s, 6), 0.1, accumulate = TRUE))
