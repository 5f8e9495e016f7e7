# Reference values of the one-sample normal analysis: classical t test, Bayes factors BF01 and the
# posterior of the mean under each prior, from R and BayesFactor only (no kqbayes code).
# Run: Rscript tests/reference/normal_onesample.R > tests/reference/normal_onesample.out
suppressMessages(library(BayesFactor))
p <- function(label, ...) cat(label, paste(sprintf("%.17g", c(...)), collapse = ", "), "\n")
cat(sprintf("# R %s, BayesFactor %s\n", getRversion(), packageVersion("BayesFactor")))

x <- c(5.1, 4.9, 6.2, 5.8, 6.0, 5.5, 5.3, 6.8, 4.7, 5.9)
y <- c(1.2, -0.4, 2.3, NA, 0.8, 1.9, -1.1, 0.5, 3.1, 1.4)
yy <- y[!is.na(y)]

cat("## t tests: t, df, p-value (t.test)\n")
tx <- t.test(x, mu = 5); p("x mu=5", tx$statistic, tx$parameter, tx$p.value)
ty <- t.test(yy, mu = 0); p("y mu=0", ty$statistic, ty$parameter, ty$p.value)
tx0 <- t.test(x, mu = 0); p("x mu=0", tx0$statistic, tx0$parameter, tx0$p.value)
p("x mean, sd, se", mean(x), sd(x), sd(x) / sqrt(10))
p("y mean, sd, se", mean(yy), sd(yy), sd(yy) / sqrt(9))
p("x 95% interval (Jeffreys 2 posterior)", tx$conf.int)

cat("## weighted x: rows repeated by the rounded weights 1 2 0.4 1.5 NA 3 1 0.6 1 1\n")
w <- c(1, 2, 0, 2, 0, 3, 1, 1, 1, 1)
tw <- t.test(rep(x, w), mu = 5); p("rep(x, w) mu=5", tw$statistic, tw$parameter, tw$p.value, mean(rep(x, w)), sd(rep(x, w)))

cat("## JZS BF01 = 1/exp(ttest.tstat(t, n1 = n, rscale = 1)$bf), and 1/extractBF(ttestBF(...))\n")
p("x mu=5", 1 / exp(ttest.tstat(tx$statistic, n1 = 10, rscale = 1)$bf),
  1 / extractBF(ttestBF(x, mu = 5, rscale = 1))$bf)
p("y mu=0", 1 / exp(ttest.tstat(ty$statistic, n1 = 9, rscale = 1)$bf),
  1 / extractBF(ttestBF(yy, mu = 0, rscale = 1))$bf)

cat("## Monte Carlo relative standard error of D for x mu=5, M = 10000 (simulated, 200 replicates)\n")
set.seed(1)
n <- 10; nu <- 9; t <- unname(tx$statistic)
est <- replicate(200, { g <- 1 / rgamma(10000, 0.5, rate = 0.5)
  mean((1 + n * g)^-0.5 * (1 + t^2 / ((1 + n * g) * nu))^(-(nu + 1) / 2)) })
p("relative sd of D", sd(est) / mean(est))

cat("## fixed g: sqrt(1+ng) (1 + t^2/((1+ng) nu))^((nu+1)/2) / (1 + t^2/nu)^((nu+1)/2)\n")
fixedg <- function(t, n, g) { nu <- n - 1
  sqrt(1 + n * g) * (1 + t^2 / ((1 + n * g) * nu))^((nu + 1) / 2) / (1 + t^2 / nu)^((nu + 1) / 2) }
p("x mu=5 g=0.5", fixedg(tx$statistic, 10, 0.5))
p("y mu=0 g=1", fixedg(ty$statistic, 9, 1))
cat("## known variance: dnorm(xbar, mu0, sqrt(s2/n)) / dnorm(xbar, mu0, sqrt(s2 (1 + n g)/n))\n")
p("x mu=5 s2=0.4 g=2", dnorm(mean(x), 5, sqrt(0.4 / 10)) / dnorm(mean(x), 5, sqrt(0.4 * (1 + 10 * 2) / 10)))

cat("## posterior of mu from n = 12, xbar = 3.2, s = 1.5; mu0 = 2.5, kappa0 = 2; 95% unless said\n")
cat("## columns: mean (= mode), variance, lower, upper\n")
n <- 12; xbar <- 3.2; s <- 1.5; mu0 <- 2.5; k0 <- 2; ss <- (n - 1) * s^2; a <- 0.05
normal <- function(m, v, alpha = a) c(m, v, qnorm(alpha / 2, m, sqrt(v)), qnorm(1 - alpha / 2, m, sqrt(v)))
tlaw <- function(m, w, df, v, alpha = a) c(m, v, m + sqrt(w) * qt(alpha / 2, df), m + sqrt(w) * qt(1 - alpha / 2, df))
# known sigma^2 = 2, mu ~ N(2.5, 4): precision n/sigma^2 + 1/tau^2
v <- 1 / (n / 2 + 1 / 4); p("known normal", normal((xbar * n / 2 + mu0 / 4) * v, v))
p("known flat", normal(xbar, 2 / n))
nix <- function(nu0, s02, alpha = a) { nun <- n + nu0; kn <- k0 + n
  m <- xbar * n / kn + mu0 * k0 / kn
  sn2 <- (nu0 * s02 + ss + k0 * n / kn * (xbar - mu0)^2) / nun
  tlaw(m, sn2 / kn, nun, sn2 * nun / (nun - 2) / kn, alpha) }
ng <- function(a0, b0) { an <- a0 + n / 2; kn <- k0 + n
  bn <- b0 + ss / 2 + k0 * n * (xbar - mu0)^2 / (2 * kn); m <- k0 * mu0 / kn + xbar * n / kn
  tlaw(m, bn / an / kn, 2 * an, bn / (an - 1) / kn) }
p("inverse chi-square(4, 1.2)", nix(4, 1.2))
p("inverse chi-square(4, 1.2) 90%", nix(4, 1.2, 0.10))
p("gamma(3, 2)", ng(3, 2))
p("chi-square(5)", ng(2.5, 0.5))
p("inverse gamma(3, 2)", nix(6, 2 / 3))
flat <- function(df) { w <- ss / (n * df); tlaw(xbar, w, df, w * df / (df - 2)) }
p("jeffreys 4", flat(n + 1))
p("jeffreys 2", flat(n - 1))
p("jeffreys 2 = t.test interval", xbar + qt(c(0.025, 0.975), n - 1) * s / sqrt(n))
p("diffuse", flat(n - 3))
p("diffuse n = 6: variance = 3 w", 3 * (5 * s^2 / (6 * 3)))

cat("## plot curves of inverse chi-square(4, 1.2) with K = 5, plot level 0.005\n")
nun <- n + 4; kn <- k0 + n; m <- xbar * n / kn + mu0 * k0 / kn
sn2 <- (4 * 1.2 + ss + k0 * n / kn * (xbar - mu0)^2) / nun; w <- sn2 / kn
gridpost <- seq(m + sqrt(w) * qt(0.0025, nun), m + sqrt(w) * qt(0.9975, nun), length.out = 5)
p("posterior args", gridpost)
p("posterior density", dt((gridpost - m) / sqrt(w), nun) / sqrt(w))
vp <- 4 * 1.2 / (4 + 2) / k0
gridprior <- seq(qnorm(0.0025, mu0, sqrt(vp)), qnorm(0.9975, mu0, sqrt(vp)), length.out = 5)
p("prior args", gridprior)
p("prior density", dnorm(gridprior, mu0, sqrt(vp)))
gridlik <- seq(qnorm(0.0025, xbar, s), qnorm(0.9975, xbar, s), length.out = 5)
p("likelihood args", gridlik)
p("profile loglik", -n / 2 * log((gridlik - xbar)^2 + s^2 * (n - 1) / n))
cat("## known sigma^2 = 2, mu ~ N(2.5, 4), K = 5: log-likelihood -(ss + n (x - xbar)^2)/(2 sigma^2)\n")
gridk <- seq(qnorm(0.0025, xbar, sqrt(2)), qnorm(0.9975, xbar, sqrt(2)), length.out = 5)
p("likelihood args", gridk)
p("loglik", -(ss + n * (gridk - xbar)^2) / (2 * 2))

cat("## scaled t density far in the tail: center 1.5, scale2 0.25, df 7.5\n")
p("density at -40 (far tail)", dt((-40 - 1.5) / 0.5, 7.5) / 0.5)
