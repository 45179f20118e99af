// SPDX-License-Identifier: MIT
/* qemu-trapfix.so - LD_PRELOAD shim for 32-bit Wine under qemu-i386 user emulation.
 * qemu-user (7.2) delivers fault signals with sigcontext.trapno == -1; Wine's i386
 * signal handlers dispatch on trapno, so every recoverable fault (page faults on guard
 * pages, write watches, int3, ...) becomes fatal.  This shim interposes sigaction()
 * and, before the real SA_SIGINFO handler runs, reconstructs trapno from signo/si_code
 * when (and only when) it is -1.  It is a no-op on a real kernel (trapno is valid).
 * Built by setup-wine32.sh.
 * The wrapper deliberately touches no TLS (errno etc.): Wine's %fs/%gs may be in flux. */
#define _GNU_SOURCE
#include <signal.h>
#include <ucontext.h>
#include <dlfcn.h>
#include <stddef.h>

typedef void (*sa_fn)(int, siginfo_t *, void *);
typedef int (*sigaction_fn)(int, const struct sigaction *, struct sigaction *);

static volatile sa_fn real_handler[65];
static sigaction_fn real_sigaction;

static int wanted(int sig)
{
    return sig == SIGSEGV || sig == SIGBUS || sig == SIGILL || sig == SIGFPE || sig == SIGTRAP;
}

static void fix_trapno(int sig, siginfo_t *si, ucontext_t *uc)
{
    greg_t *g = uc->uc_mcontext.gregs;
    if (g[REG_TRAPNO] != -1) return;   /* kernel (or a fixed qemu) supplied it */
    switch (sig)
    {
    case SIGSEGV:   /* SI_KERNEL => #GP (privileged insn, int xx, bad selector), else #PF */
        g[REG_TRAPNO] = (si && si->si_code == SI_KERNEL) ? 13 : 14;
        break;
    case SIGBUS:
        g[REG_TRAPNO] = (si && si->si_code == BUS_ADRALN) ? 17 : 14;
        break;
    case SIGILL:
        g[REG_TRAPNO] = 6;
        break;
    case SIGFPE:
        if (si && si->si_code == FPE_INTDIV) g[REG_TRAPNO] = 0;
        else if (si && si->si_code == FPE_INTOVF) g[REG_TRAPNO] = 4;
        else g[REG_TRAPNO] = 16;
        break;
    case SIGTRAP:   /* int3 arrives as SI_KERNEL; single-step/hw bp as TRAP_* */
        g[REG_TRAPNO] = (si && si->si_code == SI_KERNEL) ? 3 : 1;
        break;
    }
}

static void wrapper(int sig, siginfo_t *si, void *uc)
{
    sa_fn h = real_handler[sig];
    if (uc) fix_trapno(sig, si, (ucontext_t *)uc);
    if (h) h(sig, si, uc);
}

static sigaction_fn get_real(void)
{
    if (!real_sigaction) real_sigaction = (sigaction_fn)dlsym(RTLD_NEXT, "sigaction");
    return real_sigaction;
}

int sigaction(int sig, const struct sigaction *act, struct sigaction *oact)
{
    sigaction_fn rs = get_real();
    int ret;
    sa_fn prev = (sig > 0 && sig < 65) ? real_handler[sig] : NULL;

    if (act && sig > 0 && sig < 65 && wanted(sig) && (act->sa_flags & SA_SIGINFO) &&
        act->sa_handler != SIG_DFL && act->sa_handler != SIG_IGN)
    {
        struct sigaction tmp = *act;
        real_handler[sig] = act->sa_sigaction;
        tmp.sa_sigaction = wrapper;
        ret = rs(sig, &tmp, oact);
    }
    else
    {
        ret = rs(sig, act, oact);
        if (act && ret == 0 && sig > 0 && sig < 65) real_handler[sig] = NULL;
    }
    /* hide the wrapper from callers that save/restore the old action */
    if (ret == 0 && oact && oact->sa_sigaction == wrapper && prev) oact->sa_sigaction = prev;
    return ret;
}

